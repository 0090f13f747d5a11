// The one shared link to the camera: its life, connecting, listing, the lock and units of work.
#include "camera/CameraConnection.h"
#include <algorithm>
#include <new>
#include <utility>
#include "camera/ConnectDialog.h"
#include "resources/resource.h"

CameraConnection* g_pConnection = nullptr;
LONG g_cConnectionUsers = 0;

namespace {
// Guards creating, counting and destroying the shared connection.
SRWLOCK g_connectionLock = SRWLOCK_INIT;

// The shell's allocator; null when the shell gives none.
ComPtr<IMalloc> ShellAllocator()
{
    ComPtr<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.GetAddressOf()))) allocator.Reset();
    return allocator;
}

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
}  // namespace

// Starts with the link closed and no unit running.
CameraConnection::CameraConnection() : m_hWorkMutex(CreateMutexA(nullptr, FALSE, nullptr)), m_pMalloc(ShellAllocator()) {}

// Closes the link; the listing is freed with its member, before the allocator goes.
CameraConnection::~CameraConnection()
{
    Disconnect();
}

// Hands out the shared connection, creating it on first use.
CameraConnection* AcquireCameraConnection()
{
    AcquireSRWLockExclusive(&g_connectionLock);
    if (!g_pConnection) {
        CameraConnection* connection = new (std::nothrow) CameraConnection();
        if (connection && (!connection->m_pMalloc || !connection->m_hWorkMutex)) {
            delete connection;
            connection = nullptr;
        }
        g_pConnection = connection;
    }
    ++g_cConnectionUsers;
    CameraConnection* connection = g_pConnection;
    ReleaseSRWLockExclusive(&g_connectionLock);
    return connection;
}

// Gives one use back; the last one destroys the connection.
void ReleaseCameraConnection()
{
    AcquireSRWLockExclusive(&g_connectionLock);
    CameraConnection* last = nullptr;
    if (g_cConnectionUsers > 0 && --g_cConnectionUsers == 0) last = std::exchange(g_pConnection, nullptr);
    ReleaseSRWLockExclusive(&g_connectionLock);
    delete last;
}

// Opens the link: the quick link type first, then the slow search under the connect dialog.
bool CameraConnection::Connect()
{
    LinkLock lock(this);
    if (m_fConnected) return true;
    // A connect already running pumps messages; a second one would enter the library twice.
    if (m_fConnecting) return false;
    m_fConnecting = true;
    g_fConnectCancelled = false;
    const ComStatus status = OpenLink();
    // A Cancel that comes after the connect ended must not abort the link's later calls.
    g_fConnectCancelled = false;
    m_fConnecting = false;
    if (status != ZQ_STATUS_OK) {
        m_messages.ReportComStatus(status);
        return false;
    }
    m_fConnected = true;
    return true;
}

// The library's side of a connect, under the wait cursor; the dialog goes when it is done.
ComStatus CameraConnection::OpenLink()
{
    ComStatus status;
    {
        WaitCursor wait;
        status = m_fLinkType1 ? ZQ_STATUS_PORT_UNAVAILABLE : ZQ_OpenComm(ZqLinkUsb);
        const bool slow = status == ZQ_STATUS_NOT_LOCATED || status == ZQ_STATUS_PORT_UNAVAILABLE;
        if (slow && !m_fQuietWork) status = OpenSlowLink();
        // A quiet unit opens link type 1 only where it was found before, without the dialog.
        else if (slow && m_fLinkType1) status = ZQ_OpenComm(ZqLinkPorts);
        if (status == ZQ_STATUS_OK && !m_fLinkType1) ZQ_StopAcquisition();
        ZQ_SetAcquisitionMode(0);
    }
    RunOnWindowThread([] {
        if (g_hwndConnectDialog) DestroyWindow(g_hwndConnectDialog);
        g_hwndConnectDialog = nullptr;
    });
    return status;
}

// The second attempt on link type 1, with the connect dialog and its Cancel button.
ComStatus CameraConnection::OpenSlowLink()
{
    const HWND owner = OwnerWindow();
    // The window can be neither closed nor commanded in the middle of a connect.
    DisabledRootWindow disabled(owner);
    RunOnWindowThread([owner] {
        g_hwndConnectDialog = CreateDialogParamA(g_hinstModule, MAKEINTRESOURCEA(IDD_CONNECT), owner, ConnectDialogProc, 0);
    });
    if (!m_fLinkType1) {
        ZQ_SetStatusAbortProc(ConnectAbortProc);
        RunOnWindowThread([] {
            if (g_hwndConnectDialog) ShowWindow(g_hwndConnectDialog, SW_SHOW);
        });
    }
    if (g_fConnectCancelled) return ZQ_STATUS_ABORTED;
    const ComStatus status = ZQ_OpenComm(ZqLinkPorts);
    if (status == ZQ_STATUS_OK) m_fLinkType1 = true;
    return status;
}

// Closes the link; true when it was closed already or the camera agreed.
bool CameraConnection::Disconnect()
{
    LinkLock lock(this);
    if (!m_fConnected) return true;
    m_listing.Free();
    m_fConnected = false;
    return ZQ_CloseComm() == ZQ_STATUS_OK;
}

// Yields the camera's files one by one; the first call fetches the listing.
bool CameraConnection::NextFileEntry(CameraFileEntry* entry, bool first)
{
    if (!entry) return false;
    LinkLock lock(this);
    if (!EnsureLink()) return false;
    return m_listing.Next(entry, first);
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

// The running unit's window, or none when there is no unit, no window or the window is gone.
HWND CameraConnection::OwnerWindow() const
{
    return m_hwndOwner && IsWindow(m_hwndOwner) ? m_hwndOwner : nullptr;
}

// The message that asks a camera window to list the camera again.
UINT CameraRefreshMessage()
{
    static const UINT message = RegisterWindowMessageA("Lumora.RefreshCameraList");
    return message;
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

// Polls the lock, so that a worker whose window stops it is never stuck behind another unit
// (or behind that window's own thread).
bool CameraConnection::LockUnlessStopped(const LONG volatile* stop)
{
    for (;;) {
        if (TryLock()) return true;
        if (InterlockedCompareExchange(const_cast<LONG*>(stop), 0, 0)) return false;
        Sleep(10);
    }
}

// Starts a unit and answers the enclosing unit's window; a nested unit without a window
// keeps the enclosing unit's.
HWND CameraConnection::BeginWork(HWND owner, WindowThreadCall* windowThread, bool fQuiet)
{
    Lock();
    const HWND previous = m_hwndOwner;
    if (m_cWorkDepth++ == 0) {
        m_pWindowThread = windowThread;
        m_fQuietWork = fQuiet;
        InterlockedExchange(&m_fWorkCancelled, 0);
        InterlockedExchange64(&m_cbMoved, 0);
    }
    if (m_cWorkDepth == 1 || owner) m_hwndOwner = owner;
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
        m_pWindowThread = nullptr;
        m_fQuietWork = false;
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
