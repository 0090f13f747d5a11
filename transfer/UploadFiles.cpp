// Sending PC files to the camera: each file of an accepted type gets a camera name that is
// free on the camera and in the view, and goes whole or in segments under the progress dialog.
#include <algorithm>
#include "camera/CameraWork.h"
#include "resources/resource.h"
#include "transfer/CameraNames.h"
#include "transfer/DropFileList.h"
#include "transfer/NotSentFiles.h"
#include "transfer/ProgressDialog.h"
#include "view/CameraView.h"

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

// Whether the run goes on with the next file.
enum class FileOutcome { Next, EndRun };

// One run of sending files: the first failure, whether anything arrived, the names taken,
// the files left out.
class UploadRun {
public:
    UploadRun(CameraConnection* connection, bool fConnected) : m_pConnection(connection), m_fConnected(fConnected)
    {
        int major = 0;
        if (m_fConnected && m_pConnection->QueryFirmwareVersion(&major, nullptr, nullptr)) m_iFirmwareMajor = major;
    }

    // Marks a name as taken (a row of the view).
    HRESULT Take(const char* name) { return m_taken.Add(name); }
    // Marks the camera's own names as taken, read once and only with the link open.
    HRESULT TakeCameraNames();
    FileOutcome SendOne(const DropFilePath& file);
    // The one message that names the files left out.
    void ReportLeftOut() const { m_leftOut.Report(m_pConnection); }

    HRESULT Result() const { return m_result; }
    bool SentAnything() const { return m_fSentAnything; }

private:
    FileOutcome EndRun(TransferError transferError);
    FileOutcome LeaveOut(const DropFilePath& file, HRESULT why);
    void Fail(HRESULT why)
    {
        if (m_result == S_OK) m_result = why;
    }
    HRESULT SendBytes(HANDLE file, DWORD size, const char* name, BYTE* buffer, DWORD chunk, bool* pfReadFailed);
    DWORD FreeKiB() const { return m_fConnected ? m_pConnection->QueryMediaFree() : 0; }

    CameraConnection* m_pConnection;
    bool m_fConnected;
    int m_iFirmwareMajor = 0;
    HRESULT m_result = S_OK;
    bool m_fSentAnything = false;
    bool m_fStopSending = false;  // a transfer failed on the camera: no later file is sent
    CameraNameSet m_taken;
    NotSentFiles m_leftOut;
};

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
    if (file.fFits && IsFolder(file.path)) return LeaveOut(file, HRESULT_FROM_WIN32(kErrorDirectoryNotSupported));
    if (!HasUploadExtension(file.path)) return FileOutcome::Next;
    if (!file.fFits) return LeaveOut(file, HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
    FileHandle handle(CreateFileW(file.path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!handle || !GetFileSizeEx(handle.Get(), &size)) return LeaveOut(file, LastErrorResult(ERROR_OPEN_FAILED));
    const ULONGLONG bytes = static_cast<ULONGLONG>(size.QuadPart);
    if ((bytes + 1023) / 1024 + 1 > FreeKiB()) {
        return EndRun(kTransferCameraFull);
    }
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
    }
    return S_OK;
}

// Every file of the list in turn under the progress dialog.
void SendFiles(DropFileList& files, UploadRun& run, HWND owner)
{
    UploadProgressDialog dialog(owner, files.Count());
    DropFilePath file;
    for (UINT number = 1; files.Next(&file); ++number) {
        dialog.SetCurrent(number);
        if (run.SendOne(file) == FileOutcome::EndRun) break;
    }
}
}  // namespace

// Sends the files of a CF_HDROP list to the camera in one unit of camera work. A block that
// is no sound list sends nothing. The view lists the camera again when anything arrived.
// Files left out for a reason of their own on the PC (a folder, a file that cannot be
// opened or read) are named in one message at the end, and the run does not answer
// success: the result is the run's first failure (for such a file, the system's error as
// an HRESULT; ERROR_DIRECTORY_NOT_SUPPORTED for a folder), which the drop target answers with
// DROPEFFECT_NONE and the Paste command returns. Files of other types are left out quietly,
// and files the user was told of by their own message (too large for the firmware, no free
// name) leave the result as it is.
HRESULT CameraView::UploadFiles(HDROP hDrop)
{
    DropFileList files;
    if (!files.Open(reinterpret_cast<HGLOBAL>(hDrop))) return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    if (files.Count() == 0) return S_OK;  // an empty list leaves the camera alone
    if (!m_pConnection) return E_OUTOFMEMORY;
    CameraWork work(m_pConnection, m_hwndView);
    UploadRun run(m_pConnection, work.Connect());
    char name[kCameraNameBuffer];
    for (int row = 0; GetListItemName(row, name); ++row)
        if (name[0] != '\0' && FAILED(run.Take(name))) return E_OUTOFMEMORY;
    const HRESULT taken = run.TakeCameraNames();
    if (FAILED(taken)) return taken;
    SendFiles(files, run, m_hwndView);
    if (run.SentAnything()) Refresh();
    run.ReportLeftOut();
    return run.Result();
}

// The name of a row's camera file (a 13-byte buffer, empty for a row without an item); false
// when the list has no such row.
bool CameraView::GetListItemName(int row, char* name)
{
    name[0] = '\0';
    if (row < 0 || row >= RowCount()) return false;
    if (const LPCITEMIDLIST item = RowItem(row)) m_pIdManager->GetItemName(item, name, kCameraNameBuffer);
    return true;
}
