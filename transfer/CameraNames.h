// Camera names for PC files sent to the camera: twelve characters, upper case, eight base
// characters (blank-padded, or cut to six and a ~N counter), a dot and the three-character
// ending of the PC name: dog.jpg becomes "DOG     .JPG", holidays2.jpg "HOLIDA~1.JPG".
#pragma once
#include <windows.h>
#include <string>
#include <unordered_map>
#include <unordered_set>

// A camera name and its zero byte.
enum : int { kCameraNameChars = 12, kCameraNameBuffer = 13 };

// The first candidate camera name of the PC file at path (its last component; '\', '/' and
// ':' end folders), counted in characters: a surrogate pair is one. The ending is the
// path's last three characters, whether or not a dot stands before them; the base is what
// comes before (less that dot). Camera names are ASCII: a base character outside ASCII
// becomes '_' ("テスト.jpg" gives "___     .JPG"). False, with name empty, when the file
// name is shorter than three characters or its ending holds a dot, a blank, a '~' or a
// character outside ASCII.
bool FirstCameraName(const wchar_t* path, char name[kCameraNameBuffer]);
// The same for a path in the ANSI code page, read by character (on a double-byte code page
// a trail byte is never taken for a '\' or a letter, and no cut splits a character).
bool FirstCameraName(const char* path, char name[kCameraNameBuffer]);

// Turns a camera name into its next candidate, in place: without a counter (a '~' followed
// only by digits up to the dot) positions 6 and 7 become "~1"; otherwise the counter grows
// by one, its '~' moving left over a base character when it needs another digit
// ("DOG   ~9.JPG" gives "DOG  ~10.JPG"). False, with the name unchanged, when the name is
// not twelve characters with the dot at position 8, or the '~' would move before the start.
bool NextCameraName(char name[kCameraNameBuffer]);

// The names taken during one run of sending files to the camera: the view's rows, the
// camera's own listing (read once per run), and every name sent. Names are compared without
// regard to case. Taken names only grow during a run, so each first candidate remembers how
// far its candidates are known to be taken and naming never walks the same candidates twice.
class CameraNameSet {
public:
    // Marks a name as taken. E_OUTOFMEMORY when it cannot be kept.
    HRESULT Add(const char* name);
    bool Contains(const char* name) const;

    // A camera name for the PC file at path that is not taken (it is not marked as taken:
    // Add it once the file is on the camera). S_OK with the name;
    // HRESULT_FROM_WIN32(ERROR_INVALID_NAME) when the path gives no name;
    // HRESULT_FROM_WIN32(ERROR_FILE_EXISTS) when every candidate of the path is taken;
    // E_OUTOFMEMORY. On failure name is empty.
    HRESULT MakeCameraName(const wchar_t* path, char name[kCameraNameBuffer]);
    // The same for a path in the ANSI code page.
    HRESULT MakeCameraName(const char* path, char name[kCameraNameBuffer]);

private:
    static std::string KeyOf(const char* name);
    HRESULT FindFreeCandidate(const std::string& first, char name[kCameraNameBuffer]);

    std::unordered_set<std::string> m_taken;                          // upper-cased names
    std::unordered_map<std::string, std::string> m_firstNotTaken;     // first candidate -> candidate to try next ("" when none is left)
};
