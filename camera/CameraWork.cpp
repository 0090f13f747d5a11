// Units of camera work and the connection's lock.
#include "camera/CameraWork.h"

namespace {
// Waits for the connection's mutex. Painting and messages sent by other threads are
// served meanwhile; input stays queued for after the wait.
void WaitPainting(HANDLE mutex)
{
    for (;;) {
        const DWORD result = MsgWaitForMultipleObjects(1, &mutex, FALSE, INFINITE, QS_PAINT | QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED_0) return;
        if (result != WAIT_OBJECT_0 + 1) {
            WaitForSingleObject(mutex, INFINITE);
            return;
        }
        MSG msg;
        // Peeking delivers the sent messages; WM_PAINT is dispatched so the window is valid again.
        while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT)) DispatchMessageA(&msg);
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
}  // namespace

// Takes the connection for the unit and names its window.
CameraWork::CameraWork(CameraConnection* connection, HWND owner) : m_pConnection(connection)
{
    if (m_pConnection) m_hwndPrevious = m_pConnection->BeginWork(owner);
}

// Ends the unit: the outermost one closes a link of type 0.
CameraWork::~CameraWork()
{
    if (m_pConnection) m_pConnection->EndWork(m_hwndPrevious);
}

// Opens the link for the unit.
bool CameraWork::Connect()
{
    return m_pConnection && m_pConnection->Connect();
}

// Takes the mutex, waiting for another thread's unit without freezing this thread's windows.
void CameraConnection::Lock()
{
    if (WaitForSingleObject(m_hWorkMutex.Get(), 0) == WAIT_TIMEOUT) WaitPainting(m_hWorkMutex.Get());
}

// Gives the mutex back.
void CameraConnection::Unlock()
{
    ReleaseMutex(m_hWorkMutex.Get());
}

// Starts a unit and answers the enclosing unit's window; a nested unit without a window
// keeps the enclosing unit's.
HWND CameraConnection::BeginWork(HWND owner)
{
    Lock();
    const HWND previous = m_hwndOwner;
    if (m_cWorkDepth++ == 0 || owner) m_hwndOwner = owner;
    return previous;
}

// Ends a unit; the outermost closes the link unless it is of type 1 and nobody asked to close it.
void CameraConnection::EndWork(HWND previousOwner)
{
    m_hwndOwner = previousOwner;
    if (--m_cWorkDepth == 0) {
        const bool requested = InterlockedExchange(&m_fDisconnectRequested, 0) != 0;
        if (requested || !m_fLinkType1) Disconnect();
        m_hwndOwner = nullptr;
    }
    Unlock();
}

// Closes the link now when no unit runs, otherwise when the running unit ends.
void CameraConnection::DisconnectWhenIdle()
{
    InterlockedExchange(&m_fDisconnectRequested, 1);
    if (WaitForSingleObject(m_hWorkMutex.Get(), 0) == WAIT_TIMEOUT) return;  // another thread's unit closes it
    if (m_cWorkDepth == 0) {
        InterlockedExchange(&m_fDisconnectRequested, 0);
        Disconnect();
    }
    Unlock();
}
