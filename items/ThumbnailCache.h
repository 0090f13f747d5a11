// Thumbnail pictures kept on disk across windows and sessions, keyed by a camera file's name
// and size, in the user's local application data ("Lumora\Thumbnails").
//
// An entry holds the picture's kThumbnailSide square of 32-bit pixels as MakeThumbnailPicture
// made it (or the word that the file has none), not the JPEG it came from: every entry has
// the same small size whether it came from an EXIF thumbnail or from a whole image, and a hit
// costs one file read, no decoding. Entry names are the hex digits of the camera name's bytes
// and of the size, so no camera name can reach outside the folder. Past the size limit the
// oldest entries go first. A file in the folder that is not a whole entry of the very key
// (damaged, cut short, foreign) reads as a miss and is replaced by the next Store. An entry is
// written under a temporary name and then put in place whole, so a reader in another window
// never meets half of one.
#pragma once
#include <windows.h>
#include <string>
#include "base/Raii.h"

// What the cache knows of a camera file.
enum class CachedThumbnail {
    Miss,       // nothing (or nothing usable): read the camera
    Picture,    // the picture
    NoPicture,  // the file was read before and gave no picture
};

class ThumbnailCache {
public:
    // Room for the pictures of about 1,700 files.
    static const ULONGLONG kDefaultLimit = 64ull * 1024 * 1024;
    // Longest camera name the cache keeps (camera names have at most 12 characters).
    static const int kMaxName = 32;

    // A cache in root (a folder's full path, made when first written), of at most cbLimit bytes.
    explicit ThumbnailCache(const wchar_t* root, ULONGLONG cbLimit = kDefaultLimit);
    ThumbnailCache(const ThumbnailCache&) = delete;
    ThumbnailCache& operator=(const ThumbnailCache&) = delete;

    // The user's cache folder, "<local application data>\Lumora\Thumbnails"; empty when unknown.
    static std::wstring DefaultRoot();

    // The entry of the file named name of size bytes: the picture into *picture on a hit.
    CachedThumbnail Find(const char* name, ULONGLONG size, BitmapHandle* picture) const;
    // Keeps picture (a kThumbnailSide square bitmap; null: the file has none) as the file's
    // entry, then removes the oldest entries while the folder holds more than the limit.
    bool Store(const char* name, ULONGLONG size, HBITMAP picture);
    // The path of the file's entry; empty for a name the cache does not keep (empty, too long).
    std::wstring EntryPath(const char* name, ULONGLONG size) const;

private:
    bool MakeFolder() const;
    void RemoveStaleTemporaries() const;
    void Trim() const;

    std::wstring m_root;
    ULONGLONG m_cbLimit;
};
