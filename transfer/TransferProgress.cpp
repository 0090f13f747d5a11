// The progress of one transfer, shown on its window's thread while its worker runs.
#include "transfer/TransferProgress.h"
#include "camera/CameraConnection.h"

TransferProgress::TransferProgress(CameraConnection* connection, ProgressKind kind, HWND owner, UINT files, ULONGLONG bytes, DWORD delayMs)
    : m_pConnection(connection), m_kind(kind), m_hwndOwner(owner), m_cFiles(files), m_cbTotal(bytes), m_dwDelayMs(delayMs)
{
}

// The transfer begins: its dialog shows now unless it waits for the delay.
void TransferProgress::Begin()
{
    m_pConnection->RunOnWindowThread([this] {
        m_startTick = GetTickCount64();
        if (m_dwDelayMs == 0) MakeDialog();
    });
}

// The number of the file that begins, shown at once.
void TransferProgress::BeginFile(UINT number)
{
    m_pConnection->RunOnWindowThread([this, number] {
        m_current = number;
        if (m_dialog) m_dialog->SetCurrent(number);
    });
}

// The delayed dialog once it is due; the bytes moved so far.
void TransferProgress::Tick()
{
    if (m_startTick == 0) return;
    const ULONGLONG elapsedMs = GetTickCount64() - m_startTick;
    if (!m_dialog && elapsedMs >= m_dwDelayMs) {
        MakeDialog();
        if (m_current) m_dialog->SetCurrent(m_current);
    }
    if (m_dialog) m_dialog->SetBytes(m_pConnection->MovedBytes(), m_cbTotal, elapsedMs);
}

void TransferProgress::MakeDialog()
{
    m_dialog.emplace(m_kind, m_hwndOwner, m_cFiles, m_pConnection);
}
