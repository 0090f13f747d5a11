// What a transfer shows while its worker runs: the progress dialog, the file's number, the bytes.
#pragma once
#include <windows.h>
#include <optional>
#include "transfer/ProgressDialog.h"

class CameraConnection;

// Lives on the window's thread of the transfer. The worker calls Begin() once the link is
// open and BeginFile() as each file begins; both run on the window's thread. Tick() runs
// there while the worker runs: it shows the bytes the unit moved, and makes a dialog asked
// for with a delay once the transfer has run that long (a quick transfer shows none).
class TransferProgress {
public:
    TransferProgress(CameraConnection* connection, ProgressKind kind, HWND owner, UINT files, ULONGLONG bytes, DWORD delayMs = 0);
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;

    void Begin();
    void BeginFile(UINT number);
    void Tick();
    void operator()() { Tick(); }

private:
    void MakeDialog();
    ULONGLONG ShownBytes();

    CameraConnection* m_pConnection;
    ProgressKind m_kind;
    HWND m_hwndOwner;
    UINT m_cFiles;
    ULONGLONG m_cbTotal;
    DWORD m_dwDelayMs;
    ULONGLONG m_startTick = 0;  // when Begin() ran; 0 before
    UINT m_current = 0;
    ULONGLONG m_cbLastMoved = 0;     // the unit's moved bytes at the last tick
    ULONGLONG m_lastMovedTick = 0;   // when they last grew
    std::optional<ProgressDialog> m_dialog;
};
