// The worker thread of a unit of camera work and the modal loop of its window's thread.
#include "camera/BackgroundWork.h"
#include "camera/CameraWork.h"
#include "base/WindowThreadCall.h"

namespace {
// tick() runs at least this often while the worker runs.
const DWORD kTickMs = 200;

// What the worker is given: the unit's connection, owner and way back, and the work.
struct WorkerStart {
    CameraConnection* connection;
    HWND owner;
    WindowThreadCall* windowThread;
    void (*invoke)(void* context);
    void* context;
};

DWORD WINAPI WorkerProc(void* parameter)
{
    const auto* start = static_cast<const WorkerStart*>(parameter);
    CameraWork unit(start->connection, start->owner, start->windowThread);
    start->invoke(start->context);
    return 0;
}
}  // namespace

// Starts the worker and stays with it until it ends.
bool BackgroundWork::RunWorker(CameraConnection* connection, HWND owner, HWND dialog, Callback work, Callback tick)
{
    if (!connection) return false;
    WindowThreadCall windowThread;
    if (!windowThread) return false;
    WorkerStart start = {connection, owner, &windowThread, work.invoke, work.context};
    DisabledRootWindow disabled(owner);
    KernelHandle worker(CreateThread(nullptr, 0, WorkerProc, &start, 0, nullptr));
    if (!worker) return false;
    ServeUntilEnd(worker.Get(), connection, dialog, tick);
    return true;
}

// The modal loop: messages (the dialog's keys to the dialog) and ticks until the worker ends.
void BackgroundWork::ServeUntilEnd(HANDLE worker, CameraConnection* connection, HWND dialog, Callback tick)
{
    bool quit = false;
    WPARAM quitCode = 0;
    ULONGLONG lastTick = GetTickCount64();
    while (MsgWaitForMultipleObjects(1, &worker, FALSE, kTickMs, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                connection->CancelWork();
                continue;
            }
            if (dialog && IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (GetTickCount64() - lastTick < kTickMs) continue;
        tick();
        lastTick = GetTickCount64();
    }
    tick();
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}
