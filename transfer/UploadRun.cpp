// One run of sending PC files to the camera and the loop over a list's files.
#include "transfer/UploadRun.h"
#include <algorithm>
#include "resources/resource.h"
#include "transfer/TransferProgress.h"

namespace {
// The types sent, by the last three characters of the path (compared without regard to case).
const wchar_t* const kUploadExtensions[] = {L"jpg", L"mp3", L"mov", L"wav", L"txt", L"ini"};
// The camera takes sizes of 32 bits; larger files cannot be described to it.
const ULONGLONG kLargestFile = 0xFFFFFFFFull;
// The result for a folder in the list: ERROR_DIRECTORY_NOT_SUPPORTED, which the headers lack.
const DWORD kErrorDirectoryNotSupported = 336;

// Whether the path's last three characters name an accepted type.
bool HasUploadExtension(const wchar_t* path)
{
    const int length = lstrlenW(path);
    if (length < 3) return false;
    for (const wchar_t* extension : kUploadExtensions)
        if (lstrcmpiW(path + length - 3, extension) == 0) return true;
    return false;
}

// Whether the path names a folder: never sent, whatever its name.
bool IsFolder(const wchar_t* path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The thread's last error as a failure; fallback when no error code is set.
HRESULT LastErrorResult(DWORD fallback)
{
    const DWORD error = GetLastError();
    return HRESULT_FROM_WIN32(error != ERROR_SUCCESS ? error : fallback);
}

// A put the camera refused, as a failure that carries the camera's status.
HRESULT CameraStatusResult(ComStatus status)
{
    return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, (0x200 + status) & 0xFFFF);
}

// Reads exactly size bytes: fewer, with or without an error code, is a failure.
HRESULT ReadExactly(HANDLE file, BYTE* buffer, DWORD size)
{
    DWORD read = 0;
    if (!ReadFile(file, buffer, size, &read, nullptr)) return LastErrorResult(ERROR_READ_FAULT);
    return read == size ? S_OK : HRESULT_FROM_WIN32(ERROR_HANDLE_EOF);
}

}  // namespace

// The firmware's major version is read once, with the link open.
void UploadRun::Start(bool fConnected)
{
    m_fConnected = fConnected;
    int major = 0;
    if (m_fConnected && m_pConnection->QueryFirmwareVersion(&major, nullptr, nullptr)) m_iFirmwareMajor = major;
}

// The camera's own names, read once and only with the link open.
HRESULT UploadRun::TakeCameraNames()
{
    if (!m_fConnected) return S_OK;  // the first file meets no free space
    HRESULT hr = S_OK;
    if (!m_pConnection->VisitCameraNames([&](const char* name) {
            if (SUCCEEDED(hr)) hr = m_taken.Add(name);
        })) {
        return E_FAIL;  // unknown names could be overwritten: nothing is sent
    }
    return hr;
}

// The checks of one file, in order: folder, type, opening, free space, size, name, buffer;
// then the bytes, unless a transfer failed on the camera before.
FileOutcome UploadRun::SendOne(const DropFilePath& file)
{
    if (m_pConnection->IsWorkCancelled()) return Stopped();
    if (file.fFits && IsFolder(file.path)) return LeaveOut(file, HRESULT_FROM_WIN32(kErrorDirectoryNotSupported));
    if (!HasUploadExtension(file.path)) return FileOutcome::Next;
    if (!file.fFits) return LeaveOut(file, HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
    FileHandle handle(CreateFileW(file.path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!handle || !GetFileSizeEx(handle.Get(), &size)) return LeaveOut(file, LastErrorResult(ERROR_OPEN_FAILED));
    const ULONGLONG bytes = static_cast<ULONGLONG>(size.QuadPart);
    const DWORD freeKiB = FreeKiB();
    if (m_pConnection->IsWorkCancelled()) return Stopped();
    if ((bytes + 1023) / 1024 + 1 > freeKiB) return EndRun(kTransferCameraFull);
    if (bytes > kLargestFile || (bytes > ZQ_SEGMENT_SIZE && m_iFirmwareMajor < kFirstSegmentedMajor)) {
        m_pConnection->Messages().ReportShellError(kShellLargeFileRefused);
        return FileOutcome::Next;
    }
    WaitCursor wait;
    char name[kCameraNameBuffer];
    const HRESULT named = m_taken.MakeCameraName(file.path, name);
    if (named == E_OUTOFMEMORY) return EndRun(kTransferNoMemory);
    if (FAILED(named)) {
        m_pConnection->Messages().ShowMessage(IDS_NO_FREE_CAMERA_NAME);
        return FileOutcome::Next;
    }
    const DWORD chunk = static_cast<DWORD>(std::min<ULONGLONG>(bytes, ZQ_SEGMENT_SIZE));
    CoTaskMemPtr<BYTE> buffer(chunk ? static_cast<BYTE*>(CoTaskMemAlloc(chunk)) : nullptr);
    if (chunk && !buffer) return EndRun(kTransferNoMemory);
    if (m_fStopSending) return FileOutcome::Next;
    if (FAILED(m_taken.Add(name))) return EndRun(kTransferNoMemory);
    bool fReadFailed = false;
    const HRESULT sent = SendBytes(handle.Get(), static_cast<DWORD>(bytes), name, buffer.Get(), chunk, &fReadFailed);
    if (m_pConnection->IsWorkCancelled()) {
        if (sent != S_OK) RemovePartialFile(name);
        else m_fSentAnything = true;
        return Stopped();
    }
    if (sent == S_OK) {
        m_fSentAnything = true;
    } else if (fReadFailed) {
        LeaveOut(file, sent);
    } else {
        Fail(sent);
        m_fStopSending = true;
    }
    return FileOutcome::Next;
}

// Ends the run for memory that ran out, the camera's (2004) or the PC's (2000); a failure
// that came first stays the result.
FileOutcome UploadRun::EndRun(TransferError transferError)
{
    m_pConnection->Messages().ReportTransferError(transferError);
    Fail(E_OUTOFMEMORY);
    return FileOutcome::EndRun;
}

// The user stopped the run: nothing more is sent, and nothing is told.
FileOutcome UploadRun::Stopped()
{
    Fail(E_ABORT);
    return FileOutcome::EndRun;
}

// A file the user stopped in the middle must not stay on the camera in part: with the stop
// lifted for it, the link is closed (which ends the interrupted put on any camera) and opened
// again, and the camera deletes the name when it lists it.
void UploadRun::RemovePartialFile(const char* name)
{
    m_pConnection->ResumeWork();
    m_pConnection->Disconnect();
    bool listed = false;
    m_pConnection->VisitCameraNames([&](const char* listedName) { listed = listed || lstrcmpiA(listedName, name) == 0; });
    if (listed) m_pConnection->Files().DeleteCameraFile(name);
    m_pConnection->CancelWork();
}

// A file that is not sent for a reason of its own on the PC: named at the run's end, a
// failure of the run, and the run goes on with the next file.
FileOutcome UploadRun::LeaveOut(const DropFilePath& file, HRESULT why)
{
    m_leftOut.Add(file.path);
    Fail(why);
    return FileOutcome::Next;
}

// The file's bytes a chunk at a time: whole in one put, or in segments when the file is
// larger than one segment (older firmware refused such a file before); a file of exactly
// one segment goes whole. A file of 0 bytes makes no call. A read that fails once the
// camera holds part of the file stops the run's sending, as a refusal by the camera does.
HRESULT UploadRun::SendBytes(HANDLE file, DWORD size, const char* name, BYTE* buffer, DWORD chunk, bool* pfReadFailed)
{
    const bool segmented = size > ZQ_SEGMENT_SIZE;
    bool first = true;
    for (DWORD remaining = size; remaining > 0; remaining -= chunk, first = false) {
        if (m_pConnection->IsWorkCancelled()) return E_ABORT;
        chunk = std::min(chunk, remaining);
        const HRESULT read = ReadExactly(file, buffer, chunk);
        if (read != S_OK) {
            *pfReadFailed = true;
            if (!first) m_fStopSending = true;  // the camera holds part of the file
            return read;
        }
        ComStatus status = ZQ_STATUS_OK;
        if (!segmented) status = m_pConnection->Files().PutCameraFile(name, size, buffer);
        else if (first) status = m_pConnection->Files().BeginSegmentedPut(name, size);
        if (segmented && status == ZQ_STATUS_OK) status = m_pConnection->Files().PutSegment(chunk, buffer);
        if (status != ZQ_STATUS_OK) return CameraStatusResult(status);
        m_pConnection->AddMovedBytes(chunk);
    }
    return S_OK;
}

void SendFiles(DropFileList& files, UploadRun& run, TransferProgress& progress)
{
    progress.Begin();
    DropFilePath file;
    for (UINT number = 1; files.Next(&file); ++number) {
        progress.BeginFile(number);
        if (run.SendOne(file) == FileOutcome::EndRun) break;
    }
}

ULONGLONG BytesToSend(HGLOBAL hDrop)
{
    DropFileList files;
    if (!files.Open(hDrop)) return 0;
    ULONGLONG bytes = 0;
    DropFilePath file;
    while (files.Next(&file)) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!file.fFits || !HasUploadExtension(file.path) || !GetFileAttributesExW(file.path, GetFileExInfoStandard, &data)) continue;
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) bytes += (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return bytes;
}
