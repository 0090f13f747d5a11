// The bytes of the shell item identifier of one camera file.
//
//   offset 0   cb       16-bit byte count of the item: name length + 11
//   offset 2   dwSize   32-bit file size, as the camera listing reports it
//   offset 6   szName   the camera's name, single-byte characters, then a zero byte
//   then four reserved bytes that nothing reads
//
// A list ends at an item whose cb is 0; the lists built here end with three zero bytes.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <cstddef>

#pragma pack(push, 1)
struct CameraItemId {
    USHORT cb;
    DWORD dwSize;
    char szName[1];  // really name length + 1 bytes
};
#pragma pack(pop)

static_assert(offsetof(CameraItemId, cb) == 0, "cb leads the item");
static_assert(offsetof(CameraItemId, dwSize) == 2, "the size follows cb");
static_assert(offsetof(CameraItemId, szName) == 6, "the name follows the size");

constexpr UINT kItemNameOffset = 6;        // where szName starts
constexpr UINT kItemReservedBytes = 4;     // after the name's zero
constexpr UINT kItemMinimumSize = kItemNameOffset + 1 + kItemReservedBytes;  // 11: an empty name
constexpr UINT kListTerminatorSize = 3;    // a zero cb and one more zero byte
constexpr UINT kCameraNameLength = 12;     // the camera lists names in 13-byte records
