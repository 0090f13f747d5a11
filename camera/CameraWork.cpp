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
// A thread that holds it already only counts once more: every operation inside a unit locks
// again, and asking the kernel each time costs a round trip (a listing locks twice a file).
void CameraConnection::Lock()
{
    if (TryLock()) return;
    WaitPainting(m_hWorkMutex.Get());
    TakeOwnership();
}

// Takes the mutex when no other thread holds it; false when one does.
bool CameraConnection::TryLock()
{
    if (static_cast<DWORD>(InterlockedCompareExchange(&m_dwLockOwner, 0, 0)) == GetCurrentThreadId()) {
        ++m_cLockDepth;
        return true;
    }
    if (WaitForSingleObject(m_hWorkMutex.Get(), 0) == WAIT_TIMEOUT) return false;
    TakeOwnership();
    return true;
}

// The calling thread has just acquired the mutex.
void CameraConnection::TakeOwnership()
{
    InterlockedExchange(&m_dwLockOwner, static_cast<LONG>(GetCurrentThreadId()));
    m_cLockDepth = 1;
}

// Gives the mutex back once the outermost hold ends.
void CameraConnection::Unlock()
{
    if (--m_cLockDepth > 0) return;
    InterlockedExchange(&m_dwLockOwner, 0);
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
    if (!TryLock()) return;  // another thread's unit closes it
    if (m_cWorkDepth == 0) {
        InterlockedExchange(&m_fDisconnectRequested, 0);
        Disconnect();
    }
    Unlock();
}
