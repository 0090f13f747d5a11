// The EXIF thumbnail of a JPEG photo, found in the bytes read from the start of its file.
//
// Cameras keep a small JPEG picture in the photo's APP1 "Exif" segment: its TIFF block's
// second IFD (IFD1) gives the picture's offset from the TIFF header (tag 0x0201) and its
// length (tag 0x0202). The bytes come from the camera and are never trusted: every offset,
// length and count is checked against what was read, and only IFD0 and IFD1 are visited.
#pragma once
#include <windows.h>
#include <cstddef>

// Where the thumbnail's JPEG bytes lie within the bytes searched.
struct ExifThumbnail {
    size_t offset;
    size_t length;
};

// Finds the EXIF thumbnail in size bytes read from a file's start (cut anywhere): true with
// its place when the whole thumbnail lies within them and starts as a JPEG does.
bool FindExifThumbnail(const BYTE* data, size_t size, ExifThumbnail* thumbnail);

// Whether a camera file name ends in ".JPG" or ".JPEG", in any case.
bool IsJpegName(const char* name);
