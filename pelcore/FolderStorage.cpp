// The demo storage: a PC folder standing in for the camera's memory.
#include "pelcore/FolderStorage.h"
#include "base/Raii.h"
#include <cstring>
#include <new>

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

// The file system moves bytes at most a segment per call.
const DWORD c_ioChunk = ZQ_SEGMENT_SIZE;

// Writes all the bytes to an open file.
bool WriteAll(HANDLE file, const unsigned char* data, unsigned size)
{
    for (unsigned done = 0; done < size;) {
        const DWORD chunk = size - done < c_ioChunk ? size - done : c_ioChunk;
        DWORD written = 0;
        if (!WriteFile(file, data + done, chunk, &written, nullptr) || written != chunk) return false;
        done += chunk;
    }
    return true;
}

// Reads exactly size bytes from an open file.
bool ReadAll(HANDLE file, unsigned char* buffer, unsigned size)
{
    for (unsigned done = 0; done < size;) {
        const DWORD chunk = size - done < c_ioChunk ? size - done : c_ioChunk;
        DWORD read = 0;
        if (!ReadFile(file, buffer + done, chunk, &read, nullptr) || read != chunk) return false;
        done += chunk;
    }
    return true;
}

// Whether what a path reaches is known to the folder under this very name (or nothing is
// there): not another file whose short name happens to be the name.
bool ReachesItsOwnName(const std::string& path, const char* name)
{
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA(path.c_str(), &data));
    if (!find) return true;
    return lstrcmpiA(data.cFileName, name) == 0;
}

// A file being written in the folder: a part file beside the target, renamed over it at the
// end and removed when the write is dropped.
class FolderWriter : public StorageWriter {
public:
    FolderWriter(std::string target, std::string part, FileHandle file)
        : m_target(std::move(target)), m_part(std::move(part)), m_file(std::move(file))
    {
    }
    ~FolderWriter() override
    {
        if (m_fCommitted) return;
        m_file.Reset();
        DeleteFileA(m_part.c_str());
    }
    ComStatus Append(const unsigned char* data, unsigned size) override
    {
        return OkOr(m_file && WriteAll(m_file.Get(), data, size), PELSIM_STATUS_IO_ERROR);
    }
    ComStatus Commit() override
    {
        if (!m_file.Close()) return PELSIM_STATUS_IO_ERROR;
        m_fCommitted = MoveFileExA(m_part.c_str(), m_target.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
        return OkOr(m_fCommitted, PELSIM_STATUS_IO_ERROR);
    }

private:
    std::string m_target;
    std::string m_part;
    FileHandle m_file;
    bool m_fCommitted = false;
};

// A file being read in the folder: opened once, read piece after piece.
class FolderReader : public StorageReader {
public:
    explicit FolderReader(FileHandle file) : m_file(std::move(file)) {}
    ComStatus ReadNext(unsigned char* buffer, unsigned size) override
    {
        return OkOr(ReadAll(m_file.Get(), buffer, size), PELSIM_STATUS_IO_ERROR);
    }

private:
    FileHandle m_file;
};

// Opens a file of the folder for reading; others may still read, rename or delete it.
FileHandle OpenForReading(const std::string& path)
{
    return FileHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
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
    return ReachesItsOwnName(path, name);
}

// A fresh name per write, longer than any camera name, so the listing never shows it.
std::string FolderStorage::NewPartPath() const
{
    static LONG volatile s_cParts = 0;
    return Join((".pelcore-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(InterlockedIncrement(&s_cParts)) +
                 ".part").c_str());
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

// Reads exactly size bytes at offset from the PC file into the caller's buffer.
ComStatus FolderStorage::Read(const char* name, unsigned offset, unsigned char* buffer, unsigned size) const
{
    std::string path;
    if (!PathOf(name, path)) return PELSIM_STATUS_BAD_ARGUMENT;
    FileHandle file = OpenForReading(path);
    if (!file.IsValid()) return PELSIM_STATUS_NO_SUCH_FILE;
    LARGE_INTEGER position;
    position.QuadPart = offset;
    if (!SetFilePointerEx(file.Get(), position, nullptr, FILE_BEGIN)) return PELSIM_STATUS_IO_ERROR;
    return OkOr(ReadAll(file.Get(), buffer, size), PELSIM_STATUS_IO_ERROR);
}

// Opens the PC file for a read piece by piece.
ComStatus FolderStorage::BeginRead(const char* name, std::unique_ptr<StorageReader>& reader)
{
    std::string path;
    if (!PathOf(name, path)) return PELSIM_STATUS_BAD_ARGUMENT;
    FileHandle file = OpenForReading(path);
    if (!file.IsValid()) return PELSIM_STATUS_NO_SUCH_FILE;
    reader.reset(new (std::nothrow) FolderReader(std::move(file)));
    return OkOr(reader != nullptr, PELSIM_STATUS_IO_ERROR);
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

// Writes the whole file through a part file, when it fits.
ComStatus FolderStorage::Write(const char* name, const unsigned char* data, unsigned size)
{
    ComStatus status = CheckFits(name, size);
    std::unique_ptr<StorageWriter> writer;
    if (status == ZQ_STATUS_OK) status = BeginWrite(name, size, writer);
    if (status == ZQ_STATUS_OK) status = writer->Append(data, size);
    if (status == ZQ_STATUS_OK) status = writer->Commit();
    return status;
}

// Opens a new part file beside the target for the bytes to come.
ComStatus FolderStorage::BeginWrite(const char* name, unsigned, std::unique_ptr<StorageWriter>& writer)
{
    std::string target;
    if (!PathOf(name, target)) return PELSIM_STATUS_BAD_ARGUMENT;
    const std::string part = NewPartPath();
    FileHandle file(CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return PELSIM_STATUS_IO_ERROR;
    writer.reset(new (std::nothrow) FolderWriter(target, part, std::move(file)));
    if (writer) return ZQ_STATUS_OK;
    file.Reset();
    DeleteFileA(part.c_str());
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
