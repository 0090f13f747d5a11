// Moving file bytes between the camera and the PC, deleting camera files, and reading
// the camera's firmware version and free space.
#include "camera/CameraConnection.h"
#include <shellapi.h>
#include <shlwapi.h>
#include <algorithm>
#include "camera/TempCopyFolder.h"
#include "base/TextHelpers.h"
#include "resources/resource.h"

namespace {
// A temporary copy holds one segment at a time, plus a little slack.
const DWORD kBufferSlack = 10;

// Types that run code when opened, refused even where the platform does not list them.
const char* const kRunnableExtensions[] = {
    ".exe", ".com", ".bat", ".cmd", ".pif", ".scr", ".lnk", ".url", ".hta", ".js", ".jse", ".vbs", ".vbe",
    ".wsf", ".wsh", ".msi", ".msp", ".cpl", ".reg", ".inf", ".ins", ".jar", ".ps1", ".scf", ".shb", ".shs",
    ".msc", ".chm", ".hlp", ".dll", ".sys", ".ocx", ".application", ".gadget", ".appref-ms", ".library-ms"};

// Whether opening a file of this name would run something instead of showing it.
bool IsDangerousType(const char* name)
{
    const char* extension = PathFindExtensionA(name);
    if (!extension || extension[0] != '.') return false;
    for (const char* runnable : kRunnableExtensions)
        if (lstrcmpiA(extension, runnable) == 0) return true;
    wchar_t wideExtension[MAX_PATH];
    AnsiToWide(wideExtension, extension, MAX_PATH);
    return AssocIsDangerous(wideExtension) != FALSE;
}

// Splits dotted decimal text into up to three numbers; false when there is no piece at all.
bool ParseDottedVersion(const char* text, int numbers[3])
{
    int pieces = 0;
    for (const char* p = text; *p != '\0' && pieces < 3;) {
        if (*p == '.') {
            ++p;
            continue;
        }
        // Numbers are capped, never wrapped: "4294967300" is no version 4.
        unsigned long long value = 0;
        for (; *p >= '0' && *p <= '9'; ++p) value = std::min(value * 10 + static_cast<unsigned>(*p - '0'), 0x7FFFFFFFull);
        numbers[pieces++] = static_cast<int>(value);
        while (*p != '\0' && *p != '.') ++p;
    }
    return pieces > 0;
}

// Marks an open file read-only, keeping its other attributes.
void MarkReadOnly(HANDLE file)
{
    FILE_BASIC_INFO info = {};
    if (!GetFileInformationByHandleEx(file, FileBasicInfo, &info, sizeof(info))) return;
    info.FileAttributes |= FILE_ATTRIBUTE_READONLY;
    SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof(info));
}
}  // namespace

// Deletes one file on the camera.
bool CameraConnection::DeleteCameraFile(const char* name)
{
    if (!name) return false;
    LinkLock lock(this);
    if (!EnsureLink()) return false;
    ComStatus status;
    {
        WaitCursor wait;
        status = ZQ_DeleteFile(name);
    }
    if (status == ZQ_STATUS_OK) return true;
    ReportComStatus(status);
    return false;
}

// Reads a whole camera file into the caller's buffer in one call.
bool CameraConnection::ReceiveCameraFile(const char* name, DWORD size, BYTE* buffer)
{
    if (!name) return false;
    LinkLock lock(this);
    EnsureLink();
    if (!m_fConnected || !buffer || size == 0) return false;
    ComStatus status;
    {
        WaitCursor wait;
        status = ZQ_ReceiveFile(name, size, buffer);
    }
    if (status == ZQ_STATUS_OK) return true;
    ReportComStatus(status);
    return false;
}

// Opens a segmented read of a camera file.
ComStatus CameraConnection::BeginSegmentedReceive(const char* name, DWORD segmentSize)
{
    LinkLock lock(this);
    if (!name || !EnsureLink()) return ZQ_STATUS_NO_LINK;
    return ZQ_GetSegmentedFile(segmentSize, name);
}

// Reads the next segment of a segmented read.
ComStatus CameraConnection::ReceiveSegment(DWORD size, BYTE* buffer)
{
    LinkLock lock(this);
    if (!buffer || !EnsureLink()) return ZQ_STATUS_NO_LINK;
    return ZQ_GetSegment(size, buffer);
}

// Writes a whole file to the camera; a put that could not happen is a failure.
ComStatus CameraConnection::PutCameraFile(const char* name, DWORD size, const BYTE* data)
{
    LinkLock lock(this);
    if (!name || !data || !EnsureLink()) return ZQ_STATUS_NO_LINK;
    return ZQ_PutFile(size, data, name);
}

// Opens a segmented write of a file of totalSize bytes.
ComStatus CameraConnection::BeginSegmentedPut(const char* name, DWORD totalSize)
{
    LinkLock lock(this);
    if (!name || !EnsureLink()) return ZQ_STATUS_NO_LINK;
    return ZQ_PutSegmentedFile(totalSize, name);
}

// Writes the next segment of a segmented write.
ComStatus CameraConnection::PutSegment(DWORD size, const BYTE* data)
{
    LinkLock lock(this);
    if (!data || !EnsureLink()) return ZQ_STATUS_NO_LINK;
    return ZQ_PutSegment(size, data);
}

// The camera's firmware version, from its dotted text; missing numbers read as 0.
bool CameraConnection::QueryFirmwareVersion(int* major, int* minor, int* build)
{
    LinkLock lock(this);
    if (!EnsureLink()) return false;
    char text[ZQ_FIRMWARE_TEXT] = {};
    if (ZQ_GetFirmwareVersion(text) != ZQ_STATUS_OK) return false;
    text[ZQ_FIRMWARE_TEXT - 1] = '\0';
    int numbers[3] = {0, 0, 0};
    if (!ParseDottedVersion(text, numbers)) return false;
    if (major) *major = numbers[0];
    if (minor) *minor = numbers[1];
    if (build) *build = numbers[2];
    return true;
}

// Free space on the camera in KiB; 0 when it cannot be read.
DWORD CameraConnection::QueryMediaFree()
{
    LinkLock lock(this);
    EnsureLink();
    unsigned freeKiB = 0;
    if (ZQ_GetMediaFree(&freeKiB) != ZQ_STATUS_OK) return 0;
    return freeKiB;
}

// Copies a camera file into a folder of temporary copies under its camera name. A file of
// more than one segment is read in segments, which firmware before version 4 cannot do.
bool CameraConnection::CopyToTempFile(const char* name, wchar_t* path, bool readOnly, TempCopyFolder* folder)
{
    if (!name || !path) return false;
    path[0] = L'\0';
    LinkLock lock(this);
    if (!EnsureLink()) return false;
    WaitCursor wait;
    unsigned size = 0;
    const ComStatus status = ZQ_GetFileSize(name, &size);
    if (status != ZQ_STATUS_OK) {
        ReportComStatus(status);
        return false;
    }
    if (size == 0) {
        ReportTransferError(kTransferFileNotAvailable);
        return false;
    }
    const DWORD chunk = std::min<DWORD>(size, ZQ_SEGMENT_SIZE);
    MallocPtr<BYTE> buffer(m_pMalloc.Get(), static_cast<BYTE*>(m_pMalloc->Alloc(chunk + kBufferSlack)));
    if (!buffer) {
        ReportShellError(kShellOutOfMemory);
        return false;
    }
    TempCopyFolder shared(TempCopyFolder::Shared);
    if (!PrepareCopyPath(name, folder ? *folder : shared, path)) return false;

    int major = 0;
    if (!QueryFirmwareVersion(&major, nullptr, nullptr)) major = 0;
    const bool segmented = size > ZQ_SEGMENT_SIZE;
    if (segmented && major < kFirstSegmentedMajor) {
        ReportShellError(kShellLargeFileRefused);
        return false;
    }

    // A new file only: whatever appeared at the path meanwhile is not overwritten.
    FileHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (!file.IsValid()) {
        ReportTransferError(kTransferCopyFailed);
        return false;
    }
    bool copied = ReceiveIntoFile(name, size, chunk, segmented, buffer.Get(), file.Get());
    if (copied && readOnly) MarkReadOnly(file.Get());
    copied = file.Close() && copied;
    if (!copied) {
        DeleteFileW(path);
        ReportTransferError(kTransferCopyFailed);
    }
    return copied;
}

// The path of name's copy in folder, made free; false when the user was told why there is none.
// A name that is not a plain file name never becomes a path, a folder that is not ours is never
// written through, and a file that only answers to the name is left alone.
bool CameraConnection::PrepareCopyPath(const char* name, TempCopyFolder& folder, wchar_t* path)
{
    const CopyRoom room = folder.Open() ? folder.MakeRoom(name, path) : CopyRoom::Unusable;
    if (room == CopyRoom::Ready) return true;
    if (room == CopyRoom::Unusable) ReportTempFolderUnusable(folder.Root());
    else ReportTransferError(kTransferCopyFailed);
    return false;
}

// Reads the file chunk by chunk, writing each chunk before the next is read. A failed read
// tells its status; a failed write is told by the caller, once.
bool CameraConnection::ReceiveIntoFile(const char* name, DWORD size, DWORD chunk, bool segmented, BYTE* buffer, HANDLE file)
{
    DWORD remaining = size;
    for (bool firstPass = true; remaining > 0; firstPass = false) {
        chunk = std::min(chunk, remaining);
        const ComStatus status = ReceiveChunk(name, chunk, buffer, segmented, firstPass);
        if (status != ZQ_STATUS_OK) {
            ReportComStatus(status);
            return false;
        }
        DWORD written = 0;
        if (!WriteFile(file, buffer, chunk, &written, nullptr) || written != chunk) return false;
        remaining -= chunk;
    }
    return true;
}

// One chunk from the camera: the whole file at once, or the next segment.
ComStatus CameraConnection::ReceiveChunk(const char* name, DWORD chunk, BYTE* buffer, bool segmented, bool firstPass)
{
    if (!segmented) return ZQ_ReceiveFile(name, chunk, buffer);
    if (firstPass) {
        const ComStatus status = BeginSegmentedReceive(name, chunk);
        if (status != ZQ_STATUS_OK) return status;
    }
    return ReceiveSegment(chunk, buffer);
}

// Opens a camera file with its associated application, through a read-only temporary copy.
bool CameraConnection::OpenCameraFile(const char* name)
{
    if (!name) return false;
    LinkLock lock(this);
    if (!EnsureLink()) return false;
    if (IsDangerousType(name)) {
        ShowMessage(IDS_SHELL_OPEN_FAILED);
        return false;
    }
    wchar_t path[MAX_PATH];
    if (!CopyToTempFile(name, path, true)) return false;
    const UINT_PTR result = reinterpret_cast<UINT_PTR>(ShellExecuteW(nullptr, L"open", path, nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return true;
    ReportShellError(result);
    return false;
}
