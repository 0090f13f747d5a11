// JPEG files for the thumbnail tests: real ones made by WIC's encoder, and EXIF blocks
// built byte by byte.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <wincodec.h>
#include <initializer_list>
#include <vector>
#include "base/Raii.h"

constexpr int kTiff = 12;        // the TIFF header's place after SOI, APP1's marker, length and "Exif\0\0"
constexpr int kThumbAt = 68;     // the thumbnail's place in the TIFF block: IFD0 at 8, IFD1 at 38
constexpr int kThumbLength = 8;  // SOI, four bytes, EOI (unless a real one is given)
constexpr int kApp0Size = 18;    // a JFIF APP0 segment with its marker
// A JPEG start: SOI, [APP0,] APP1 "Exif" whose IFD0 and IFD1 both name the thumbnail, then SOS.
inline std::vector<BYTE> ExifJpeg(bool fBigEndian, bool fApp0, std::vector<BYTE> thumbnail = {0xFF, 0xD8, 1, 2, 3, 4, 0xFF, 0xD9})
{
    const DWORD cbThumb = DWORD(thumbnail.size());
    std::vector<BYTE> tiff(2, BYTE(fBigEndian ? 'M' : 'I'));
    auto put = [&](DWORD value, int cb) {
        for (int i = 0; i < cb; ++i) tiff.push_back(BYTE(value >> 8 * (fBigEndian ? cb - 1 - i : i)));
    };
    auto ifd = [&](DWORD next) {
        put(2, 2), put(0x0201, 2), put(4, 2), put(1, 4), put(kThumbAt, 4);
        put(0x0202, 2), put(4, 2), put(1, 4), put(cbThumb, 4), put(next, 4);
    };
    put(42, 2), put(8, 4), ifd(38), ifd(0);
    tiff.insert(tiff.end(), thumbnail.begin(), thumbnail.end());
    std::vector<BYTE> jpeg;
    auto add = [&](std::initializer_list<BYTE> bytes) {
        for (BYTE b : bytes) jpeg.push_back(b);
    };
    add({0xFF, 0xD8});
    if (fApp0) add({0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    const size_t cbApp1 = 2 + 6 + tiff.size();
    add({0xFF, 0xE1, BYTE(cbApp1 >> 8), BYTE(cbApp1), 'E', 'x', 'i', 'f', 0, 0});
    for (BYTE b : tiff) jpeg.push_back(b);
    add({0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 63, 0});
    return jpeg;
}

// A JPEG of width x height made by WIC's encoder: the left half red, the right half blue.
inline std::vector<BYTE> EncodeJpeg(UINT width, UINT height)
{
    std::vector<BYTE> pixels(width * height * 3);
    for (UINT i = 0; i < width * height; ++i) pixels[i * 3 + (i % width < width / 2 ? 2 : 0)] = 0xFF;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmap> bitmap;
    ComPtr<IStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    HGLOBAL block = nullptr;  // the stream's memory, stat.cbSize bytes of it written
    STATSTG stat = {};
    const bool fMade = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) &&
        SUCCEEDED(factory->CreateBitmapFromMemory(width, height, format, width * 3, UINT(pixels.size()), pixels.data(), &bitmap)) &&
        SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) && SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) && SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
        SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(width, height)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
        SUCCEEDED(frame->WriteSource(bitmap.Get(), nullptr)) && SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit()) &&
        SUCCEEDED(GetHGlobalFromStream(stream.Get(), &block)) && SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME));
    EXPECT_TRUE(fMade) << "WIC's JPEG encoder";
    if (!fMade) return {};
    GlobalLockPtr<BYTE> bytes(block);
    return std::vector<BYTE>(bytes.Get(), bytes.Get() + stat.cbSize.QuadPart);
}

// A JPEG with the APP segments of an EXIF block (its bytes between SOI and SOS) after its SOI.
inline std::vector<BYTE> WithExif(std::vector<BYTE> jpeg, const std::vector<BYTE>& exif)
{
    jpeg.insert(jpeg.begin() + 2, exif.begin() + 2, exif.end() - 10);
    return jpeg;
}
