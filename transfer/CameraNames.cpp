// Making camera names for PC files: the first candidate, the next one, and a free one.
#include "transfer/CameraNames.h"
#include <cstring>
#include <new>

namespace {
// Positions in a camera name.
const int kBaseChars = 8;
const int kDotPosition = 8;
const int kEndingChars = 3;

// Where the file name of a path starts: after the last '\', '/' or ':'.
size_t FileNameStart(const wchar_t* path, size_t length)
{
    for (size_t i = length; i > 0; --i)
        if (path[i - 1] == L'\\' || path[i - 1] == L'/' || path[i - 1] == L':') return i;
    return 0;
}

// A character that cannot stand in a name's three-character ending.
bool IsBadEndingChar(wchar_t c)
{
    return c == L'.' || c == L' ' || c == L'~' || c >= 0x80;
}

// The character after the one at p (a surrogate pair is one character).
const wchar_t* NextChar(const wchar_t* p, const wchar_t* end)
{
    return IS_HIGH_SURROGATE(p[0]) && p + 1 < end && IS_LOW_SURROGATE(p[1]) ? p + 2 : p + 1;
}

// A base character in a camera name: ASCII as it is, any other character '_'.
char CameraNameChar(wchar_t c)
{
    return c < 0x80 ? static_cast<char>(c) : '_';
}

// A path in the ANSI code page as wide characters, converted whole (never byte by byte).
std::wstring WideFromAnsi(const char* path)
{
    const int chars = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (chars <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), chars);
    wide.resize(static_cast<size_t>(chars) - 1);
    return wide;
}

// Letters a to z in upper case; every other byte stays.
void UpperCaseLetters(char* name)
{
    for (char* p = name; *p != '\0'; ++p)
        if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
}

// The counter of a name: the digits after its last '~' up to the dot. False when there is none.
bool FindCounter(const char* name, int* tilde, unsigned* value)
{
    const char* mark = static_cast<const char*>(memchr(name, '~', kDotPosition));
    if (!mark) return false;
    for (const char* p = mark + 1; p < name + kDotPosition; ++p)
        if (*p == '~') mark = p;
    if (mark + 1 == name + kDotPosition) return false;
    unsigned number = 0;
    for (const char* p = mark + 1; p < name + kDotPosition; ++p) {
        if (*p < '0' || *p > '9') return false;
        number = number * 10 + static_cast<unsigned>(*p - '0');
    }
    *tilde = static_cast<int>(mark - name);
    *value = number;
    return true;
}

// Number of decimal digits of value.
int DigitCount(unsigned value)
{
    int digits = 1;
    for (; value >= 10; value /= 10) ++digits;
    return digits;
}
}  // namespace

// Eight base characters (blank-padded, or six and "~1" when the base is longer), a dot and
// the three-character ending, letters in upper case.
bool FirstCameraName(const wchar_t* path, char name[kCameraNameBuffer])
{
    if (!name) return false;
    name[0] = '\0';
    if (!path) return false;
    const size_t length = wcslen(path);
    const size_t start = FileNameStart(path, length);
    if (length - start < kEndingChars) return false;
    const wchar_t* ending = path + length - kEndingChars;
    for (int i = 0; i < kEndingChars; ++i)
        if (IsBadEndingChar(ending[i])) return false;

    const wchar_t* baseEnd = ending;
    if (baseEnd > path + start && baseEnd[-1] == L'.') --baseEnd;
    memset(name, ' ', kBaseChars);
    const wchar_t* p = path + start;
    for (int copied = 0; p < baseEnd && copied < kBaseChars; p = NextChar(p, baseEnd)) name[copied++] = CameraNameChar(*p);
    if (p < baseEnd) memcpy(name + kBaseChars - 2, "~1", 2);
    name[kDotPosition] = '.';
    for (int i = 0; i < kEndingChars; ++i) name[kDotPosition + 1 + i] = static_cast<char>(ending[i]);
    name[kCameraNameChars] = '\0';
    UpperCaseLetters(name);
    return true;
}

// The path's characters in the ANSI code page, named as wide ones.
bool FirstCameraName(const char* path, char name[kCameraNameBuffer])
{
    if (!name) return false;
    name[0] = '\0';
    if (!path) return false;
    try {
        return FirstCameraName(WideFromAnsi(path).c_str(), name);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// The next candidate: "~1" at positions 6 and 7, or the counter plus one.
bool NextCameraName(char name[kCameraNameBuffer])
{
    if (!name || strnlen(name, kCameraNameBuffer) != kCameraNameChars || name[kDotPosition] != '.') return false;
    int tilde = 0;
    unsigned value = 0;
    if (!FindCounter(name, &tilde, &value)) {
        memcpy(name + kBaseChars - 2, "~1", 2);
        return true;
    }
    // Leading zeros keep their width; a counter that needs another digit takes one base character.
    const int oldDigits = kDotPosition - tilde - 1;
    const int newDigits = DigitCount(value + 1) > oldDigits ? DigitCount(value + 1) : oldDigits;
    const int newTilde = kDotPosition - newDigits - 1;
    if (newTilde < 0) return false;
    name[newTilde] = '~';
    unsigned rest = value + 1;
    for (int i = kDotPosition - 1; i > newTilde; --i, rest /= 10) name[i] = static_cast<char>('0' + rest % 10);
    return true;
}

// The key of a name in the set: upper case in the ANSI code page.
std::string CameraNameSet::KeyOf(const char* name)
{
    std::string key(name);
    if (!key.empty()) CharUpperBuffA(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

// Remembers a taken name.
HRESULT CameraNameSet::Add(const char* name)
{
    if (!name) return E_INVALIDARG;
    try {
        m_taken.insert(KeyOf(name));
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

// Whether a name is taken, without regard to case.
bool CameraNameSet::Contains(const char* name) const
{
    if (!name) return false;
    try {
        return m_taken.count(KeyOf(name)) != 0;
    } catch (const std::bad_alloc&) {
        return true;  // when in doubt a name counts as taken
    }
}

// The path's characters in the ANSI code page, named as wide ones.
HRESULT CameraNameSet::MakeCameraName(const char* path, char name[kCameraNameBuffer])
{
    if (!name) return E_POINTER;
    try {
        return MakeCameraName(path ? WideFromAnsi(path).c_str() : nullptr, name);
    } catch (const std::bad_alloc&) {
        name[0] = '\0';
        return E_OUTOFMEMORY;
    }
}

// The first candidate of the path, then its successors, until one is free.
HRESULT CameraNameSet::MakeCameraName(const wchar_t* path, char name[kCameraNameBuffer])
{
    if (!name) return E_POINTER;
    char first[kCameraNameBuffer];
    if (!FirstCameraName(path, first)) {
        name[0] = '\0';
        return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    }
    try {
        return FindFreeCandidate(first, name);
    } catch (const std::bad_alloc&) {
        name[0] = '\0';
        return E_OUTOFMEMORY;
    }
}

// Walks the candidates from where an earlier call of the same first candidate stopped: every
// candidate before that was taken then and is taken still.
HRESULT CameraNameSet::FindFreeCandidate(const std::string& first, char name[kCameraNameBuffer])
{
    const auto known = m_firstNotTaken.find(first);
    const std::string& from = known != m_firstNotTaken.end() ? known->second : first;
    if (from.empty()) {
        name[0] = '\0';
        return HRESULT_FROM_WIN32(ERROR_FILE_EXISTS);
    }
    memcpy(name, from.c_str(), kCameraNameBuffer);
    bool free = true;
    while (m_taken.count(KeyOf(name)) != 0) {
        if (!NextCameraName(name)) {
            free = false;
            break;
        }
    }
    m_firstNotTaken[first] = free ? std::string(name) : std::string();
    if (free) return S_OK;
    name[0] = '\0';
    return HRESULT_FROM_WIN32(ERROR_FILE_EXISTS);
}
