// One unit of camera work run on a worker thread while the window's thread stays modal.
#pragma once
#include <windows.h>
#include "camera/CameraConnection.h"

// Run() starts work(connection) on a worker thread as one unit of camera work owned by owner,
// and serves this thread's messages until it ends, as under a modal dialog: the owner's
// top-level window is disabled, dialog (may be null) takes its keys, everything paints, and
// tick() runs here at least every 200 ms. The unit's messages and dialogs are shown on this
// thread. A quit request asks the unit to stop and is queued again at the end. False when no
// worker could be started: nothing ran.
class BackgroundWork {
public:
    template <typename Work, typename Tick>
    static bool Run(CameraConnection* connection, HWND owner, HWND dialog, Work& work, Tick& tick)
    {
        return RunWorker(connection, owner, dialog, Callback{&Invoke<Work>, &work}, Callback{&Invoke<Tick>, &tick});
    }

private:
    struct Callback {
        void (*invoke)(void* context);
        void* context;
        void operator()() const { invoke(context); }
    };
    template <typename Fn> static void Invoke(void* context) { (*static_cast<Fn*>(context))(); }
    static bool RunWorker(CameraConnection* connection, HWND owner, HWND dialog, Callback work, Callback tick);
    static void ServeUntilEnd(HANDLE worker, CameraConnection* connection, HWND dialog, Callback tick);
};
