// A thumbnail picture: JPEG bytes decoded by the platform's image codecs (WIC) and fitted,
// aspect kept, into a square of kThumbnailSide pixels, centred on a background.
#pragma once
#include <windows.h>
#include <cstddef>
#include "base/Raii.h"

// The side of every thumbnail picture, in pixels.
const int kThumbnailSide = 96;

// A kThumbnailSide square 32-bit top-down DIB section of the picture in data (any image
// format the codecs know, JPEG above all) on background; none when the codecs cannot decode
// it. The calling thread must have COM initialized.
BitmapHandle MakeThumbnailPicture(const BYTE* data, size_t size, COLORREF background);

// The picture of a camera file from the bytes read from its start: its EXIF thumbnail when it
// has one, else the whole image when fWholeFile says that every byte of the file was read.
BitmapHandle MakeFilePicture(const BYTE* data, size_t size, bool fWholeFile, COLORREF background);

// The layout of every thumbnail picture's pixels: kThumbnailSide square, 32-bit, top-down.
BITMAPINFO ThumbnailBitmapFormat();

// An empty kThumbnailSide square 32-bit top-down DIB section and its pixels (BGRA rows).
BitmapHandle MakeThumbnailBitmap(DWORD** ppPixels);
