#include "host/WindowCapture.h"
#include <wincodec.h>
#include "base/Raii.h"

namespace {

// The source in the pixel format the frame took, converted when it differs.
HRESULT InFrameFormat(IWICImagingFactory* factory, IWICBitmapSource* source, const WICPixelFormatGUID& format,
                      IWICBitmapSource** ppConverted)
{
    WICPixelFormatGUID sourceFormat = {};
    HRESULT hr = source->GetPixelFormat(&sourceFormat);
    if (SUCCEEDED(hr) && IsEqualGUID(sourceFormat, format)) {
        source->AddRef();
        *ppConverted = source;
        return S_OK;
    }
    ComPtr<IWICFormatConverter> converter;
    if (SUCCEEDED(hr)) hr = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(hr))
        hr = converter->Initialize(source, format, WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom);
    return SUCCEEDED(hr) ? converter.CopyTo(ppConverted) : hr;
}

// Writes the one frame of the PNG file: size, 24-bit colour, the pixels.
HRESULT WriteFrame(IWICImagingFactory* factory, IWICBitmapEncoder* encoder, IWICBitmapSource* source)
{
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IWICBitmapSource> pixels;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    UINT width = 0, height = 0;
    HRESULT hr = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(hr)) hr = frame->Initialize(nullptr);
    if (SUCCEEDED(hr)) hr = source->GetSize(&width, &height);
    if (SUCCEEDED(hr)) hr = frame->SetSize(width, height);
    if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr)) hr = InFrameFormat(factory, source, format, &pixels);
    if (SUCCEEDED(hr)) hr = frame->WriteSource(pixels.Get(), nullptr);
    if (SUCCEEDED(hr)) hr = frame->Commit();
    return hr;
}

// Saves a bitmap as a PNG file.
HRESULT SaveBitmapAsPng(HBITMAP bitmap, const wchar_t* path)
{
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmap> source;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
    if (SUCCEEDED(hr)) hr = factory->CreateBitmapFromHBITMAP(bitmap, nullptr, WICBitmapIgnoreAlpha, &source);
    if (SUCCEEDED(hr)) hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(path, GENERIC_WRITE);
    if (SUCCEEDED(hr)) hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr)) hr = WriteFrame(factory.Get(), encoder.Get(), source.Get());
    if (SUCCEEDED(hr)) hr = encoder->Commit();
    return hr;
}

}  // namespace

HRESULT SaveWindowAsPng(HWND hwnd, const wchar_t* path)
{
    if (!IsWindow(hwnd) || !path) return E_INVALIDARG;
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT bounds = {};
    GetWindowRect(hwnd, &bounds);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    WindowDC window(hwnd);
    if (!window || width <= 0 || height <= 0) return E_FAIL;
    MemoryDCHandle memory(CreateCompatibleDC(window.Get()));
    BitmapHandle bitmap(CreateCompatibleBitmap(window.Get(), width, height));
    if (!memory || !bitmap) return E_OUTOFMEMORY;
    {
        SelectedObject selected(memory.Get(), bitmap.Get());
        if (!BitBlt(memory.Get(), 0, 0, width, height, window.Get(), 0, 0, SRCCOPY)) return E_FAIL;
    }
    return SaveBitmapAsPng(bitmap.Get(), path);
}
