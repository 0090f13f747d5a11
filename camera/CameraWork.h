// One unit of camera work: opening or deleting the selected files, listing the camera,
// copying files out or in, finishing a move, showing the about box.
#pragma once
#include <windows.h>
#include "camera/CameraConnection.h"

// While a unit lives the connection is its alone: a unit started on another thread waits
// (its windows still paint) and the library's calls of two units never interleave. The
// unit's window parents every dialog and message shown meanwhile and receives the refresh
// when a file turns out to be gone. At its end the link closes unless it was opened on
// link type 1. Units nest on one thread; only the outermost one closes the link.
class CameraWork {
public:
    // owner may be null: messages then have no parent (an enclosing unit's window serves).
    // A unit on a worker thread gives windowThread, the way to its window's thread.
    // A quiet unit shows nothing (see CameraConnection::BeginWork).
    CameraWork(CameraConnection* connection, HWND owner, WindowThreadCall* windowThread = nullptr, bool fQuiet = false);
    ~CameraWork();
    CameraWork(const CameraWork&) = delete;
    CameraWork& operator=(const CameraWork&) = delete;

    // Opens the link (the connection reports a failure to the user); true when it is open.
    bool Connect();
    CameraConnection* Connection() const { return m_pConnection; }
    CameraConnection* operator->() const { return m_pConnection; }
    explicit operator bool() const { return m_pConnection != nullptr; }

private:
    CameraConnection* m_pConnection;
    HWND m_hwndPrevious = nullptr;  // the enclosing unit's window, given back at the end
};
