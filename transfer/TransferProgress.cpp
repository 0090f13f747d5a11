// The progress of one transfer, shown on its window's thread while its worker runs.
#include "transfer/TransferProgress.h"
#include <algorithm>
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
    if (m_dialog) m_dialog->SetBytes(ShownBytes(), m_cbTotal, elapsedMs);
}

// The bytes the unit moved, and of the segment on its way as many as the rate so far says
// have arrived: a call moves a whole segment (half a second at USB 1.1 speed) before it tells
// anything. The estimate never reaches the segment's end nor the total; before the first
// bytes no rate is known and nothing is guessed.
ULONGLONG TransferProgress::ShownBytes()
{
    const ULONGLONG now = GetTickCount64();
    const ULONGLONG moved = m_pConnection->MovedBytes();
    if (moved != m_cbLastMoved) {
        m_cbLastMoved = moved;
        m_lastMovedTick = now;
    }
    if (moved == 0 || moved >= m_cbTotal || m_lastMovedTick <= m_startTick) return moved;
    const ULONGLONG rate = moved * 1000 / (m_lastMovedTick - m_startTick);
    const ULONGLONG arriving = (now - m_lastMovedTick) * rate / 1000;
    return moved + std::min({arriving, static_cast<ULONGLONG>(ZQ_SEGMENT_SIZE - 1), m_cbTotal - moved - 1});
}

void TransferProgress::MakeDialog()
{
    m_dialog.emplace(m_kind, m_hwndOwner, m_cFiles, m_pConnection);
}
