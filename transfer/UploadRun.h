// One run of sending PC files to the camera, and the loop that sends a list's files under the progress dialog.
#pragma once
#include <windows.h>
#include "camera/CameraConnection.h"
#include "transfer/CameraNames.h"
#include "transfer/DropFileList.h"
#include "transfer/NotSentFiles.h"

class TransferProgress;

// Whether the run goes on with the next file.
enum class FileOutcome { Next, EndRun };

// One run of sending files: the first failure, whether anything arrived, the names taken,
// the files left out. Each file of an accepted type gets a camera name that is free on the
// camera and in the view, and goes whole or in segments.
class UploadRun {
public:
    explicit UploadRun(CameraConnection* connection) : m_pConnection(connection) {}

    // The run begins in its unit of camera work: whether the link is open, and the firmware's
    // major version, read once with the link open.
    void Start(bool fConnected);

    // Marks a name as taken (a row of the view).
    HRESULT Take(const char* name) { return m_taken.Add(name); }
    // Marks the camera's own names as taken, read once and only with the link open.
    HRESULT TakeCameraNames();
    FileOutcome SendOne(const DropFilePath& file);
    // The one message that names the files left out.
    void ReportLeftOut() const { m_leftOut.Report(m_pConnection); }

    // E_ABORT once the user stopped the run.
    HRESULT Result() const { return m_result; }
    bool SentAnything() const { return m_fSentAnything; }

private:
    FileOutcome EndRun(TransferError transferError);
    FileOutcome Stopped();
    FileOutcome LeaveOut(const DropFilePath& file, HRESULT why);
    void Fail(HRESULT why)
    {
        if (m_result == S_OK) m_result = why;
    }
    HRESULT SendBytes(HANDLE file, DWORD size, const char* name, BYTE* buffer, DWORD chunk, bool* pfReadFailed);
    void RemovePartialFile(const char* name);
    DWORD FreeKiB() const { return m_fConnected ? m_pConnection->QueryMediaFree() : 0; }

    CameraConnection* m_pConnection;
    bool m_fConnected = false;
    int m_iFirmwareMajor = 0;
    HRESULT m_result = S_OK;
    bool m_fSentAnything = false;
    bool m_fStopSending = false;  // a transfer failed on the camera: no later file is sent
    CameraNameSet m_taken;
    NotSentFiles m_leftOut;
};

// Every file of the list in turn, each told to progress as it begins, until the run ends or
// the user stops it.
void SendFiles(DropFileList& files, UploadRun& run, TransferProgress& progress);
// The bytes of the files of a list that a run would send (of a type it takes); a block that
// is no sound list has none.
ULONGLONG BytesToSend(HGLOBAL hDrop);
