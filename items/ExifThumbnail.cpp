// Walking a JPEG's markers to its EXIF block, and the block's TIFF IFDs to the thumbnail.
#include "items/ExifThumbnail.h"
#include <cstring>

namespace {
const BYTE kMarkerStart = 0xFF;
const BYTE kStartOfImage = 0xD8;
const BYTE kEndOfImage = 0xD9;
const BYTE kStartOfScan = 0xDA;
const BYTE kApp1 = 0xE1;
const BYTE kExifName[] = {'E', 'x', 'i', 'f', 0, 0};
const WORD kTiffMagic = 42;
const WORD kTagThumbnailOffset = 0x0201;
const WORD kTagThumbnailLength = 0x0202;
const WORD kTypeShort = 3;
const WORD kTypeLong = 4;
const size_t kIfdEntrySize = 12;

// The TIFF block of the EXIF segment: its bytes and their byte order.
class TiffBlock {
public:
    TiffBlock(const BYTE* data, size_t size, bool fBigEndian) : m_data(data), m_size(size), m_fBigEndian(fBigEndian) {}

    // Whether count bytes at offset lie within the block (no overflow for any values).
    bool Holds(size_t offset, size_t count) const { return offset <= m_size && count <= m_size - offset; }
    WORD Word(size_t offset) const
    {
        const BYTE* p = m_data + offset;
        return static_cast<WORD>(m_fBigEndian ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0]);
    }
    DWORD Long(size_t offset) const
    {
        const DWORD high = Word(offset), low = Word(offset + 2);
        return m_fBigEndian ? (high << 16) | low : (low << 16) | high;
    }
    const BYTE* Bytes(size_t offset) const { return m_data + offset; }

private:
    const BYTE* m_data;
    size_t m_size;
    bool m_fBigEndian;
};

// Whether the IFD at ifd, its count, entries and next offset, lies within the block.
bool IfdFits(const TiffBlock& tiff, DWORD ifd)
{
    return tiff.Holds(ifd, 2) && tiff.Holds(ifd + 2, tiff.Word(ifd) * kIfdEntrySize + 4);
}

// The offset of the IFD after the one at ifd (known to fit).
DWORD NextIfd(const TiffBlock& tiff, DWORD ifd)
{
    return tiff.Long(ifd + 2 + tiff.Word(ifd) * kIfdEntrySize);
}

// The value of a one-value SHORT or LONG tag of the IFD at ifd (known to fit), or 0.
DWORD TagValue(const TiffBlock& tiff, DWORD ifd, WORD tag)
{
    const WORD count = tiff.Word(ifd);
    for (WORD i = 0; i < count; ++i) {
        const size_t entry = ifd + 2 + i * kIfdEntrySize;
        if (tiff.Word(entry) != tag || tiff.Long(entry + 4) != 1) continue;
        const WORD type = tiff.Word(entry + 2);
        if (type == kTypeShort) return tiff.Word(entry + 8);
        if (type == kTypeLong) return tiff.Long(entry + 8);
    }
    return 0;
}

// The thumbnail of the TIFF block in [data, data + size): its place relative to data.
bool FindInTiff(const BYTE* data, size_t size, ExifThumbnail* thumbnail)
{
    if (size < 8 || data[0] != data[1] || (data[0] != 'I' && data[0] != 'M')) return false;
    const TiffBlock tiff(data, size, data[0] == 'M');
    if (tiff.Word(2) != kTiffMagic) return false;
    const DWORD ifd0 = tiff.Long(4);
    if (!IfdFits(tiff, ifd0)) return false;
    // IFD1 must be another IFD that fits; its own successor is never followed, so no chain loops.
    const DWORD ifd1 = NextIfd(tiff, ifd0);
    if (ifd1 == 0 || ifd1 == ifd0 || !IfdFits(tiff, ifd1)) return false;
    const DWORD offset = TagValue(tiff, ifd1, kTagThumbnailOffset);
    const DWORD length = TagValue(tiff, ifd1, kTagThumbnailLength);
    if (offset == 0 || length < 4 || !tiff.Holds(offset, length)) return false;
    const BYTE* picture = tiff.Bytes(offset);
    if (picture[0] != kMarkerStart || picture[1] != kStartOfImage) return false;
    thumbnail->offset = offset;
    thumbnail->length = length;
    return true;
}
}  // namespace

// The markers up to the first scan, each segment whole within the bytes read.
bool FindExifThumbnail(const BYTE* data, size_t size, ExifThumbnail* thumbnail)
{
    if (!data || !thumbnail || size < 4 || data[0] != kMarkerStart || data[1] != kStartOfImage) return false;
    size_t pos = 2;
    while (size - pos >= 4) {
        if (data[pos] != kMarkerStart) return false;
        const BYTE marker = data[pos + 1];
        if (marker == kMarkerStart) {  // fill byte before a marker
            ++pos;
            continue;
        }
        if (marker == kStartOfScan || marker == kEndOfImage) return false;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // markers without a segment
            pos += 2;
            continue;
        }
        const size_t length = (static_cast<size_t>(data[pos + 2]) << 8) | data[pos + 3];
        if (length < 2 || length > size - pos - 2) return false;
        const BYTE* segment = data + pos + 4;
        const size_t cbSegment = length - 2;
        if (marker == kApp1 && cbSegment >= sizeof(kExifName) && memcmp(segment, kExifName, sizeof(kExifName)) == 0) {
            const size_t tiff = pos + 4 + sizeof(kExifName);
            if (!FindInTiff(data + tiff, cbSegment - sizeof(kExifName), thumbnail)) return false;
            thumbnail->offset += tiff;
            return true;
        }
        pos += 2 + length;
    }
    return false;
}

bool IsJpegName(const char* name)
{
    if (!name) return false;
    const char* dot = strrchr(name, '.');
    return dot && (lstrcmpiA(dot, ".JPG") == 0 || lstrcmpiA(dot, ".JPEG") == 0);
}
