// The camera's files: moving their bytes between the camera and the PC, deleting, opening.
#include "camera/CameraFileOperations.h"
#include <shellapi.h>
#include <shlwapi.h>
#include <algorithm>
#include "camera/CameraConnection.h"
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
bool CameraFileOperations::DeleteCameraFile(const char* name)
{
    if (!name) return false;
    LinkLock lock(&m_connection);
    if (!m_connection.EnsureLink()) return false;
    ComStatus status;
    {
        WaitCursor wait;
        status = ZQ_DeleteFile(name);
    }
    if (status == ZQ_STATUS_OK) return true;
    m_connection.Messages().ReportComStatus(status);
    return false;
}

// Reads a whole camera file into the caller's buffer in one call.
bool CameraFileOperations::ReceiveCameraFile(const char* name, DWORD size, BYTE* buffer)
{
    if (!name) return false;
    LinkLock lock(&m_connection);
    m_connection.EnsureLink();
    if (!m_connection.IsConnected() || !buffer || size == 0) return false;
    ComStatus status;
    {
        WaitCursor wait;
        status = ZQ_ReceiveFile(name, size, buffer);
    }
    if (status == ZQ_STATUS_OK) return true;
    m_connection.Messages().ReportComStatus(status);
    return false;
}

// The first segment of a larger file is all that is read of it: the camera's read stays
// unfinished, so the link closes when the unit ends, whatever its type.
DWORD CameraFileOperations::ReadFileStart(const char* name, DWORD size, BYTE* buffer)
{
    if (!name || !buffer || size == 0) return 0;
    LinkLock lock(&m_connection);
    if (!m_connection.EnsureLink()) return 0;
    const bool segmented = size > ZQ_SEGMENT_SIZE;
    const DWORD chunk = std::min<DWORD>(size, ZQ_SEGMENT_SIZE);
    const ComStatus status = ReceiveChunk(name, chunk, buffer, segmented, true);
    if (segmented) m_connection.DisconnectWhenIdle();
    if (status != ZQ_STATUS_OK) {
        m_connection.Messages().ReportComStatus(status);
        return 0;
    }
    m_connection.AddMovedBytes(chunk);
    return chunk;
}

// Opens a segmented read of a camera file.
ComStatus CameraFileOperations::BeginSegmentedReceive(const char* name, DWORD segmentSize)
{
    LinkLock lock(&m_connection);
    if (!name || !m_connection.EnsureLink()) return ZQ_STATUS_NO_LINK;
    return ZQ_GetSegmentedFile(segmentSize, name);
}

// Reads the next segment of a segmented read.
ComStatus CameraFileOperations::ReceiveSegment(DWORD size, BYTE* buffer)
{
    LinkLock lock(&m_connection);
    if (!buffer || !m_connection.EnsureLink()) return ZQ_STATUS_NO_LINK;
    return ZQ_GetSegment(size, buffer);
}

// Writes a whole file to the camera; a put that could not happen is a failure.
ComStatus CameraFileOperations::PutCameraFile(const char* name, DWORD size, const BYTE* data)
{
    LinkLock lock(&m_connection);
    if (!name || !data || !m_connection.EnsureLink()) return ZQ_STATUS_NO_LINK;
    return ZQ_PutFile(size, data, name);
}

// Opens a segmented write of a file of totalSize bytes.
ComStatus CameraFileOperations::BeginSegmentedPut(const char* name, DWORD totalSize)
{
    LinkLock lock(&m_connection);
    if (!name || !m_connection.EnsureLink()) return ZQ_STATUS_NO_LINK;
    return ZQ_PutSegmentedFile(totalSize, name);
}

// Writes the next segment of a segmented write.
ComStatus CameraFileOperations::PutSegment(DWORD size, const BYTE* data)
{
    LinkLock lock(&m_connection);
    if (!data || !m_connection.EnsureLink()) return ZQ_STATUS_NO_LINK;
    return ZQ_PutSegment(size, data);
}

// Copies a camera file into a folder of temporary copies under its camera name. A file of
// more than one segment is read in segments, which firmware before version 4 cannot do.
bool CameraFileOperations::CopyToTempFile(const char* name, wchar_t* path, bool readOnly, TempCopyFolder* folder)
{
    if (!name || !path) return false;
    path[0] = L'\0';
    LinkLock lock(&m_connection);
    if (!m_connection.EnsureLink()) return false;
    WaitCursor wait;
    unsigned size = 0;
    if (!ReadCopySize(name, &size)) return false;
    IMalloc* allocator = m_connection.Allocator();
    const DWORD chunk = std::min<DWORD>(size, ZQ_SEGMENT_SIZE);
    MallocPtr<BYTE> buffer(allocator, static_cast<BYTE*>(allocator->Alloc(chunk + kBufferSlack)));
    if (!buffer) {
        m_connection.Messages().ReportShellError(kShellOutOfMemory);
        return false;
    }
    TempCopyFolder shared(TempCopyFolder::Shared);
    if (!PrepareCopyPath(name, folder ? *folder : shared, path)) return false;
    const int major = FirmwareMajor();
    if (size > ZQ_SEGMENT_SIZE && major < kFirstSegmentedMajor) {
        m_connection.Messages().ReportShellError(kShellLargeFileRefused);
        return false;
    }
    return WriteCopy(name, path, size, readOnly, buffer.Get());
}

// The size of the file to copy; false (told) when the camera cannot say or the file is gone.
bool CameraFileOperations::ReadCopySize(const char* name, unsigned* size)
{
    const ComStatus status = ZQ_GetFileSize(name, size);
    if (status != ZQ_STATUS_OK) {
        m_connection.Messages().ReportComStatus(status);
        return false;
    }
    if (*size != 0) return true;
    m_connection.Messages().ReportTransferError(kTransferFileNotAvailable);
    return false;
}

// The path of name's copy in folder, made free; false when the user was told why there is none.
// A name that is not a plain file name never becomes a path, a folder that is not ours is never
// written through, and a file that only answers to the name is left alone.
bool CameraFileOperations::PrepareCopyPath(const char* name, TempCopyFolder& folder, wchar_t* path)
{
    const CopyRoom room = folder.Open() ? folder.MakeRoom(name, path) : CopyRoom::Unusable;
    if (room == CopyRoom::Ready) return true;
    if (room == CopyRoom::Unusable) m_connection.Messages().ReportTempFolderUnusable(folder.Root());
    else m_connection.Messages().ReportTransferError(kTransferCopyFailed);
    return false;
}

// The camera's firmware major version, asked before every copy; 0 when it cannot be read.
int CameraFileOperations::FirmwareMajor()
{
    int major = 0;
    if (!m_connection.QueryFirmwareVersion(&major, nullptr, nullptr)) major = 0;
    return major;
}

// Writes the copy as a new file only: whatever appeared at the path meanwhile is not
// overwritten. A copy that fails is removed and told once.
bool CameraFileOperations::WriteCopy(const char* name, const wchar_t* path, DWORD size, bool readOnly, BYTE* buffer)
{
    FileHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (!file.IsValid()) {
        m_connection.Messages().ReportTransferError(kTransferCopyFailed);
        return false;
    }
    bool copied = ReceiveIntoFile(name, size, buffer, file.Get());
    if (copied && readOnly) MarkReadOnly(file.Get());
    copied = file.Close() && copied;
    if (!copied) {
        DeleteFileW(path);
        // A copy the user stopped is no failure to tell.
        if (!m_connection.IsWorkCancelled()) m_connection.Messages().ReportTransferError(kTransferCopyFailed);
    }
    return copied;
}

// Reads the file chunk by chunk (segments when it is larger than one), writing each chunk
// before the next is read, until the unit is asked to stop. A failed read tells its status;
// a failed write is told by the caller.
bool CameraFileOperations::ReceiveIntoFile(const char* name, DWORD size, BYTE* buffer, HANDLE file)
{
    const bool segmented = size > ZQ_SEGMENT_SIZE;
    DWORD chunk = std::min<DWORD>(size, ZQ_SEGMENT_SIZE);
    DWORD remaining = size;
    for (bool firstPass = true; remaining > 0; firstPass = false) {
        if (m_connection.IsWorkCancelled()) return false;
        chunk = std::min(chunk, remaining);
        const ComStatus status = ReceiveChunk(name, chunk, buffer, segmented, firstPass);
        if (status != ZQ_STATUS_OK) {
            m_connection.Messages().ReportComStatus(status);
            return false;
        }
        DWORD written = 0;
        if (!WriteFile(file, buffer, chunk, &written, nullptr) || written != chunk) return false;
        m_connection.AddMovedBytes(chunk);
        remaining -= chunk;
    }
    return true;
}

// One chunk from the camera: the whole file at once, or the next segment.
ComStatus CameraFileOperations::ReceiveChunk(const char* name, DWORD chunk, BYTE* buffer, bool segmented, bool firstPass)
{
    if (!segmented) return ZQ_ReceiveFile(name, chunk, buffer);
    if (firstPass) {
        const ComStatus status = BeginSegmentedReceive(name, chunk);
        if (status != ZQ_STATUS_OK) return status;
    }
    return ReceiveSegment(chunk, buffer);
}

// Opens a camera file with its associated application, through a read-only temporary copy.
bool CameraFileOperations::OpenCameraFile(const char* name)
{
    if (!name) return false;
    LinkLock lock(&m_connection);
    if (!m_connection.EnsureLink()) return false;
    if (IsDangerousType(name)) {
        m_connection.Messages().ShowMessage(IDS_SHELL_OPEN_FAILED);
        return false;
    }
    wchar_t path[MAX_PATH];
    if (!CopyToTempFile(name, path, true)) return false;
    // The application starts from the window's thread, as a double-click would start it.
    UINT_PTR result = 0;
    m_connection.RunOnWindowThread([&] { result = reinterpret_cast<UINT_PTR>(ShellExecuteW(nullptr, L"open", path, nullptr, nullptr, SW_SHOWNORMAL)); });
    if (result > 32) return true;
    m_connection.Messages().ReportShellError(result);
    return false;
}
