// The worker thread of a unit of camera work and the modal loop of its window's thread.
#include "camera/BackgroundWork.h"
#include "camera/CameraWork.h"
#include "base/WindowThreadCall.h"

namespace {
// tick() runs at least this often while the worker runs.
const DWORD kTickMs = 100;

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

// The dialog a message is for, other than the disabled window: it takes its own keys.
HWND DialogOf(const MSG& msg, HWND disabled)
{
    if (!msg.hwnd) return nullptr;
    const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (!root || root == disabled) return nullptr;
    char className[8];
    if (!GetClassNameA(root, className, sizeof(className)) || lstrcmpA(className, "#32770") != 0) return nullptr;
    return root;
}
}  // namespace

// Starts the worker and stays with it until it ends.
bool BackgroundWork::RunWorker(CameraConnection* connection, HWND owner, Callback work, Callback tick)
{
    if (!connection) return false;
    if (connection->IsHeldByThisThread()) {
        CameraWork unit(connection, owner);
        work();
        return true;
    }
    WindowThreadCall windowThread;
    if (!windowThread) return false;
    WorkerStart start = {connection, owner, &windowThread, work.invoke, work.context};
    DisabledRootWindow disabled(owner);
    KernelHandle worker(CreateThread(nullptr, 0, WorkerProc, &start, 0, nullptr));
    if (!worker) return false;
    ServeUntilEnd(worker.Get(), connection, owner ? GetAncestor(owner, GA_ROOT) : nullptr, tick);
    return true;
}

// The modal loop: messages (a dialog's keys to the dialog) and ticks until the worker ends.
void BackgroundWork::ServeUntilEnd(HANDLE worker, CameraConnection* connection, HWND owner, Callback tick)
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
            const HWND dialog = DialogOf(msg, owner);
            if (dialog && IsDialogMessageW(dialog, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (GetTickCount64() - lastTick < kTickMs) continue;
        tick();
        lastTick = GetTickCount64();
    }
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}
