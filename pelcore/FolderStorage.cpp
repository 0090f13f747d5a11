// The demo storage: a PC folder standing in for the camera's memory.
#include "pelcore/FolderStorage.h"
#include "module/Raii.h"
#include <cstring>

namespace {

// Names the file system gives to devices rather than files.
bool IsDeviceName(const char* name)
{
    static const char* const s_devices[] = {"CON", "PRN", "AUX", "NUL"};
    const char* dot = strchr(name, '.');
    const size_t baseLength = dot ? static_cast<size_t>(dot - name) : strlen(name);
    for (const char* device : s_devices) {
        if (baseLength == 3 && _strnicmp(name, device, 3) == 0) return true;
    }
    const bool numbered = baseLength == 4 && name[3] >= '1' && name[3] <= '9';
    return numbered && (_strnicmp(name, "COM", 3) == 0 || _strnicmp(name, "LPT", 3) == 0);
}

// Size in bytes of a file of the folder; false for directories and files over 4 GiB.
bool QueryFileSize(const std::string& path, unsigned* size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || data.nFileSizeHigh != 0) return false;
    *size = data.nFileSizeLow;
    return true;
}

// Writes all the bytes to an open file.
bool WriteAll(HANDLE file, const unsigned char* data, unsigned size)
{
    DWORD written = 0;
    return size == 0 || (WriteFile(file, data, size, &written, nullptr) && written == size);
}

}  // namespace

// A plain name: 1 to 12 characters, no separators, wildcards, control characters or
// "..", not a device, not ending in a dot or blank.
bool FolderStorage::IsPlainName(const char* name)
{
    if (!name) return false;
    const size_t length = strnlen(name, ZQ_NAME_MAX + 1);
    if (length == 0 || length > ZQ_NAME_MAX) return false;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || strchr("\\/:*?\"<>|", c)) return false;
    }
    if (strstr(name, "..") || name[length - 1] == '.' || name[length - 1] == ' ') return false;
    return !IsDeviceName(name);
}

std::string FolderStorage::Join(const char* name) const
{
    std::string path = m_folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    return path + name;
}

bool FolderStorage::PathOf(const char* name, std::string& path) const
{
    if (!IsPlainName(name)) return false;
    path = Join(name);
    return true;
}

bool FolderStorage::Exists() const
{
    const DWORD attributes = GetFileAttributesA(m_folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder's files of plain names up to 12 characters, in the order the folder gives them.
ComStatus FolderStorage::List(std::vector<ListingRecord>& records) const
{
    records.clear();
    const std::string pattern = Join("*");
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA(pattern.c_str(), &data));
    if (!find) return OkOr(GetLastError() == ERROR_FILE_NOT_FOUND, PELSIM_STATUS_IO_ERROR);
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || data.nFileSizeHigh != 0) continue;
        if (!IsPlainName(data.cFileName)) continue;
        ListingRecord record{};
        memcpy(record.name, data.cFileName, strlen(data.cFileName));
        record.separator = ' ';
        records.push_back(record);
    } while (FindNextFileA(find.Get(), &data));
    return ZQ_STATUS_OK;
}

ComStatus FolderStorage::ReportedSize(const char* name, unsigned* size) const
{
    return ContentSize(name, size);
}

ComStatus FolderStorage::ContentSize(const char* name, unsigned* size) const
{
    std::string path;
    if (!PathOf(name, path)) return PELSIM_STATUS_BAD_ARGUMENT;
    return OkOr(QueryFileSize(path, size), PELSIM_STATUS_NO_SUCH_FILE);
}

// Reads exactly size bytes at offset from the PC file.
ComStatus FolderStorage::Read(const char* name, unsigned offset, unsigned char* buffer, unsigned size) const
{
    std::string path;
    if (!PathOf(name, path)) return PELSIM_STATUS_BAD_ARGUMENT;
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return PELSIM_STATUS_NO_SUCH_FILE;
    LARGE_INTEGER position;
    position.QuadPart = offset;
    DWORD read = 0;
    if (!SetFilePointerEx(file.Get(), position, nullptr, FILE_BEGIN)) return PELSIM_STATUS_IO_ERROR;
    if (size && (!ReadFile(file.Get(), buffer, size, &read, nullptr) || read != size)) return PELSIM_STATUS_IO_ERROR;
    return ZQ_STATUS_OK;
}

// Whether the drive's free space (and the file replaced) holds the size.
ComStatus FolderStorage::CheckFits(const char* name, unsigned size) const
{
    std::string path;
    if (!PathOf(name, path)) return PELSIM_STATUS_BAD_ARGUMENT;
    unsigned freeKiB = 0;
    unsigned existing = 0;
    if (MediaFree(&freeKiB) != ZQ_STATUS_OK) return PELSIM_STATUS_IO_ERROR;
    const unsigned long long replaced = QueryFileSize(path, &existing) ? SizeInKiB(existing) : 0;
    return OkOr(SizeInKiB(size) <= freeKiB + replaced, PELSIM_STATUS_MEDIA_FULL);
}

// Creates the PC file with the bytes; a file that cannot be written whole is removed.
ComStatus FolderStorage::Write(const char* name, const unsigned char* data, unsigned size)
{
    const ComStatus fits = CheckFits(name, size);
    if (fits != ZQ_STATUS_OK) return fits;
    std::string path;
    PathOf(name, path);
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return PELSIM_STATUS_IO_ERROR;
    const bool written = WriteAll(file.Get(), data, size);
    if (file.Close() && written) return ZQ_STATUS_OK;
    DeleteFileA(path.c_str());
    return PELSIM_STATUS_IO_ERROR;
}

ComStatus FolderStorage::Delete(const char* name)
{
    std::string path;
    unsigned size = 0;
    if (!PathOf(name, path)) return PELSIM_STATUS_BAD_ARGUMENT;
    if (!QueryFileSize(path, &size)) return PELSIM_STATUS_NO_SUCH_FILE;
    return OkOr(DeleteFileA(path.c_str()), PELSIM_STATUS_IO_ERROR);
}

// The free space of the folder's drive in KiB.
ComStatus FolderStorage::MediaFree(unsigned* freeKiB) const
{
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(m_folder.c_str(), &available, nullptr, nullptr)) return PELSIM_STATUS_IO_ERROR;
    *freeKiB = CapKiB(available.QuadPart / 1024);
    return ZQ_STATUS_OK;
}
