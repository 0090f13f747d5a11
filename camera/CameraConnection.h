// The one shared link to the camera: its life, connecting, listing, the lock and units of work.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include "camera/CameraFileOperations.h"
#include "camera/CameraListing.h"
#include "camera/CameraMessages.h"
#include "camera/ZqApi.h"
#include "base/ModuleState.h"
#include "base/Raii.h"
#include "base/WindowThreadCall.h"

class CameraConnection {
public:
    // Units of work (see CameraWork): the connection belongs to one unit at a time. A unit
    // on another thread waits for the running one; units nest on one thread. The outermost
    // unit's end closes the link unless it was opened on link type 1.
    // A unit run on a worker thread names the way to its window's thread; a nested unit
    // keeps the enclosing unit's.
    // A quiet unit (background work nobody asked for) shows no message and no connect dialog:
    // what fails in it is left as it is.
    HWND BeginWork(HWND owner, WindowThreadCall* windowThread = nullptr, bool fQuiet = false);
    void EndWork(HWND previousOwner);
    // Runs work on the running unit's window thread (here when the unit runs there): every
    // dialog and message box of the connection is shown on the thread of its window. Once
    // that window's thread has let the unit go, the work is dropped.
    template <typename Work> void RunOnWindowThread(Work work)
    {
        if (!m_pWindowThread || m_pWindowThread->IsOwnThread()) {
            work();
            return;
        }
        m_pWindowThread->Run(work);
    }
    // Asks the running unit to stop, from any thread: the abort callback fails the library
    // call that runs (link type 1), the unit's loops end at their next check, and the
    // "Communication aborted." this causes is not shown. Cleared when the next unit begins.
    void CancelWork() { InterlockedExchange(&m_fWorkCancelled, 1); }
    // Asks the running unit to stop when owner's window runs it (a window that goes).
    void CancelWorkOf(HWND owner)
    {
        if (owner && reinterpret_cast<HWND>(InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&m_hwndOwner), nullptr, nullptr)) == owner)
            CancelWork();
    }
    // Lifts a stop for the clean-up it calls for (the caller asks again after it).
    void ResumeWork() { InterlockedExchange(&m_fWorkCancelled, 0); }
    bool IsWorkCancelled() const { return InterlockedCompareExchange(const_cast<LONG*>(&m_fWorkCancelled), 0, 0) != 0; }
    // Whether the calling thread runs a unit (or an operation) of camera work now.
    bool IsHeldByThisThread() const
    {
        return static_cast<DWORD>(InterlockedCompareExchange(const_cast<LONG*>(&m_dwLockOwner), 0, 0)) == GetCurrentThreadId();
    }
    // Whether the running unit is a quiet one.
    bool IsQuietWork() const { return m_fQuietWork; }
    // File bytes the running unit moved so far, either way; any thread may read them.
    void AddMovedBytes(DWORD bytes) { InterlockedExchangeAdd64(&m_cbMoved, bytes); }
    ULONGLONG MovedBytes() const { return static_cast<ULONGLONG>(InterlockedCompareExchange64(const_cast<LONG64*>(&m_cbMoved), 0, 0)); }

    // Link.
    bool Connect();
    bool Disconnect();
    // A view going inactive: the link closes now, or at the end of the unit that runs.
    void DisconnectWhenIdle();
    bool NextFileEntry(CameraFileEntry* entry, bool first);
    // The number of files of the listing NextFileEntry reads (0 before its first call).
    DWORD ListedCount() const { return m_listing.Count(); }
    // The camera's names as it lists them now (no sizes asked), each given to visit; false
    // (the user was told) when the listing could not be read. An empty camera lists nothing.
    template <typename Visit> bool VisitCameraNames(Visit visit);
    bool IsConnected() const { return m_fConnected; }
    bool IsLinkType1() const { return m_fLinkType1; }

    // The camera.
    bool QueryFirmwareVersion(int* major, int* minor, int* build);
    DWORD QueryMediaFree();
    // The link open, opened now when it is closed (a failure is told).
    bool EnsureLink() { return m_fConnected || Connect(); }

    // The camera's files and the user's messages, which work over this link.
    CameraFileOperations& Files() { return m_files; }
    CameraMessages& Messages() { return m_messages; }
    // The shell's allocator, for buffers the camera fills.
    IMalloc* Allocator() const { return m_pMalloc.Get(); }

    // The window of the running unit (parent of its dialogs and messages), while it exists.
    HWND OwnerWindow() const;

private:
    friend CameraConnection* AcquireCameraConnection();
    friend void ReleaseCameraConnection();
    friend class LinkLock;
    friend class StoppableLinkLock;
    CameraConnection();
    ~CameraConnection();
    CameraConnection(const CameraConnection&) = delete;
    CameraConnection& operator=(const CameraConnection&) = delete;

    void Lock();
    bool TryLock();
    // Takes the mutex once no other thread holds it, or gives up when *stop is set (false).
    bool LockUnlessStopped(const LONG volatile* stop);
    void TakeOwnership();
    void Unlock();
    ComStatus OpenLink();
    ComStatus OpenSlowLink();

    ModuleObjectCount m_moduleCount;
    KernelHandle m_hWorkMutex;         // held by the running unit (and by each operation)
    LONG volatile m_dwLockOwner = 0;   // the thread that holds the mutex, 0 for none
    LONG m_cLockDepth = 0;             // holds of that thread: the mutex goes back at 0
    LONG m_cWorkDepth = 0;             // units nested on the holding thread
    HWND volatile m_hwndOwner = nullptr;  // the running unit's window, not owned
    WindowThreadCall* m_pWindowThread = nullptr;  // the outermost unit's way to that window's thread
    LONG volatile m_fWorkCancelled = 0;           // the running unit was asked to stop
    LONG64 volatile m_cbMoved = 0;                // file bytes the running unit moved
    LONG volatile m_fDisconnectRequested = 0;  // close the link when the running unit ends
    bool m_fConnected = false;
    bool m_fLinkType1 = false;         // a connect succeeded on link type 1; sticks
    bool m_fConnecting = false;        // a connect is running (its dialog pumps messages)
    bool m_fQuietWork = false;         // the running unit shows nothing
    ComPtr<IMalloc> m_pMalloc;         // null when the shell gave none: the connection is not made
    CameraMessages m_messages{*this};
    CameraFileOperations m_files{*this};
    CameraListing m_listing{m_pMalloc.Get(), m_messages};  // freed before the allocator goes
};

// Holds the connection for one operation: a unit on another thread waits until it ends.
class LinkLock {
public:
    explicit LinkLock(CameraConnection* connection) : m_pConnection(connection) { m_pConnection->Lock(); }
    ~LinkLock() { m_pConnection->Unlock(); }
    LinkLock(const LinkLock&) = delete;
    LinkLock& operator=(const LinkLock&) = delete;

private:
    CameraConnection* m_pConnection;
};

// Holds the connection for a worker's unit, taken unless the worker was stopped first: a
// unit begun inside it never waits.
class StoppableLinkLock {
public:
    StoppableLinkLock(CameraConnection* connection, const LONG volatile* stop)
        : m_pConnection(connection && connection->LockUnlessStopped(stop) ? connection : nullptr)
    {
    }
    ~StoppableLinkLock()
    {
        if (m_pConnection) m_pConnection->Unlock();
    }
    StoppableLinkLock(const StoppableLinkLock&) = delete;
    StoppableLinkLock& operator=(const StoppableLinkLock&) = delete;
    explicit operator bool() const { return m_pConnection != nullptr; }

private:
    CameraConnection* m_pConnection;
};

template <typename Visit> bool CameraConnection::VisitCameraNames(Visit visit)
{
    LinkLock lock(this);
    if (!EnsureLink() || !m_listing.Fetch()) return false;
    for (DWORD i = 0; i < m_listing.Count(); ++i) visit(m_listing.Name(i));
    return true;
}

// The shared connection: the first call creates it. Null when it cannot be made; the
// caller releases its use in every case.
CameraConnection* AcquireCameraConnection();
// Gives one use back; the last one closes the link and destroys the connection.
void ReleaseCameraConnection();

// Module-wide state of the link.
extern CameraConnection* g_pConnection;
extern LONG g_cConnectionUsers;

// Posted to a unit's window when a file it met is gone and the window should list the camera again.
UINT CameraRefreshMessage();
