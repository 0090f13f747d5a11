// One unit of camera work run on a worker thread while the window's thread stays modal.
#pragma once
#include <windows.h>
#include "camera/CameraConnection.h"

// Run() carries out work() as one unit of camera work owned by owner on a worker thread, and
// serves this thread's messages until it ends, as under a modal dialog: the owner's
// top-level window is disabled, a dialog takes its own keys, everything paints, and tick()
// runs here every 100 ms while the worker runs. The unit's messages and dialogs are
// shown on this thread. A quit request asks the unit to stop and is queued again at the end.
// A thread that runs a unit already carries out work() itself, inside that unit (a worker
// would wait for it forever). False when no worker could be started: nothing ran.
class BackgroundWork {
public:
    template <typename Work, typename Tick>
    static bool Run(CameraConnection* connection, HWND owner, Work& work, Tick& tick)
    {
        return RunWorker(connection, owner, Callback{&Invoke<Work>, &work}, Callback{&Invoke<Tick>, &tick});
    }
    // The same without anything to show while it runs.
    template <typename Work> static bool Run(CameraConnection* connection, HWND owner, Work& work)
    {
        auto none = [] {};
        return Run(connection, owner, work, none);
    }

private:
    struct Callback {
        void (*invoke)(void* context);
        void* context;
        void operator()() const { invoke(context); }
    };
    template <typename Fn> static void Invoke(void* context) { (*static_cast<Fn*>(context))(); }
    static bool RunWorker(CameraConnection* connection, HWND owner, Callback work, Callback tick);
    static void ServeUntilEnd(HANDLE worker, CameraConnection* connection, HWND owner, Callback tick);
};
