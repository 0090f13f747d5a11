// Decoding and scaling a thumbnail picture with WIC into a DIB section.
#include "items/ThumbnailPicture.h"
#include "items/ExifThumbnail.h"
#include <wincodec.h>
#include <algorithm>

namespace {
// The picture's first frame, scaled to fit the square with its aspect kept.
HRESULT ScaledFrame(const BYTE* data, size_t size, IWICBitmapSource** ppScaled, UINT* pWidth, UINT* pHeight)
{
    if (!data || size == 0 || size > MAXDWORD) return E_INVALIDARG;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICBitmapScaler> scaler;
    UINT width = 0, height = 0;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
    if (SUCCEEDED(hr)) hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr)) hr = stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size));
    if (SUCCEEDED(hr)) hr = factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder);
    if (SUCCEEDED(hr)) hr = decoder->GetFrame(0, &frame);
    if (SUCCEEDED(hr)) hr = frame->GetSize(&width, &height);
    if (SUCCEEDED(hr) && (width == 0 || height == 0)) hr = E_FAIL;
    if (FAILED(hr)) return hr;
    // The longer side becomes the square's side; the other keeps the ratio, at least a pixel.
    const UINT side = kThumbnailSide;
    *pWidth = width >= height ? side : static_cast<UINT>(std::max<ULONGLONG>(1, ULONGLONG(width) * side / height));
    *pHeight = width >= height ? static_cast<UINT>(std::max<ULONGLONG>(1, ULONGLONG(height) * side / width)) : side;
    hr = factory->CreateBitmapScaler(&scaler);
    if (SUCCEEDED(hr)) hr = scaler->Initialize(frame.Get(), *pWidth, *pHeight, WICBitmapInterpolationModeFant);
    if (FAILED(hr)) return hr;
    ComPtr<IWICFormatConverter> converter;
    hr = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(hr))
        hr = converter->Initialize(scaler.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom);
    if (SUCCEEDED(hr)) *ppScaled = converter.Detach();
    return hr;
}
}  // namespace

BITMAPINFO ThumbnailBitmapFormat()
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kThumbnailSide;
    info.bmiHeader.biHeight = -kThumbnailSide;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

BitmapHandle MakeThumbnailBitmap(DWORD** ppPixels)
{
    const BITMAPINFO info = ThumbnailBitmapFormat();
    void* bits = nullptr;
    BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    *ppPixels = bitmap ? static_cast<DWORD*>(bits) : nullptr;
    return bitmap;
}

// The scaled picture copied into the middle of a square filled with the background.
BitmapHandle MakeThumbnailPicture(const BYTE* data, size_t size, COLORREF background)
{
    ComPtr<IWICBitmapSource> scaled;
    UINT width = 0, height = 0;
    if (FAILED(ScaledFrame(data, size, &scaled, &width, &height))) return {};
    DWORD* pixels = nullptr;
    BitmapHandle bitmap = MakeThumbnailBitmap(&pixels);
    if (!bitmap) return {};
    const DWORD fill = 0xFF000000u | (GetRValue(background) << 16) | (GetGValue(background) << 8) | GetBValue(background);
    std::fill(pixels, pixels + kThumbnailSide * kThumbnailSide, fill);
    const UINT stride = kThumbnailSide * sizeof(DWORD);
    const UINT left = (kThumbnailSide - width) / 2, top = (kThumbnailSide - height) / 2;
    const WICRect rect = {0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    BYTE* first = reinterpret_cast<BYTE*>(pixels + top * kThumbnailSide + left);
    const UINT cbBuffer = (height - 1) * stride + width * sizeof(DWORD);
    if (FAILED(scaled->CopyPixels(&rect, stride, cbBuffer, first))) return {};
    return bitmap;
}

// A thumbnail the codecs refuse still leaves the whole image, when it is all there.
BitmapHandle MakeFilePicture(const BYTE* data, size_t size, bool fWholeFile, COLORREF background)
{
    ExifThumbnail thumbnail = {};
    if (FindExifThumbnail(data, size, &thumbnail)) {
        BitmapHandle picture = MakeThumbnailPicture(data + thumbnail.offset, thumbnail.length, background);
        if (picture || !fWholeFile) return picture;
    }
    return fWholeFile ? MakeThumbnailPicture(data, size, background) : BitmapHandle();
}
