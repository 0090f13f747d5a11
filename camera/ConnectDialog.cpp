// The "Connecting to" dialog of the slow connect attempt and the library's abort callback.
#include "camera/ConnectDialog.h"
#include "camera/CameraConnection.h"
#include "camera/ProductName.h"
#include "base/TextHelpers.h"
#include "resources/resource.h"

bool volatile g_fConnectCancelled = false;
HWND g_hwndConnectDialog = nullptr;

namespace {
// Title buffer of the dialog, in characters.
const int kTitleCapacity = 100;

// "Connecting to " and the product name, when the registry names the product.
void SetConnectTitle(HWND hwnd)
{
    char title[kTitleCapacity];
    if (BuildProductTitle(IDS_CONNECTING_TO, title, kTitleCapacity)) SetWindowTextA(hwnd, title);
}

// A mouse click or key is waiting: a press on Cancel counts even before it is dispatched.
void CheckCancelUnderCursor(HWND dialog)
{
    POINT cursor;
    HWND button = GetDlgItem(dialog, IDC_CONNECT_CANCEL);
    if (!GetCursorPos(&cursor) || !button) return;
    RECT rect;
    if (!GetWindowRect(button, &rect) || !PtInRect(&rect, cursor)) return;
    g_fConnectCancelled = true;
    SendMessageA(button, WM_PAINT, 0, 0);
}

// A quit request ends the connect; it stays queued for the thread's own loop.
bool TakeQuitRequest(const MSG& msg)
{
    if (msg.message != WM_QUIT) return false;
    PostQuitMessage(static_cast<int>(msg.wParam));
    g_fConnectCancelled = true;
    return true;
}

// Serves what the dialog needs while the library works: the dialog's own messages and
// painting. Messages of the thread's other windows wait, so nothing of the view runs
// inside a connect; a quit request is left queued and aborts the connect.
void PumpDialogMessages(HWND dialog)
{
    MSG msg;
    if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) {
        g_fConnectCancelled = true;
        return;
    }
    while (g_hwndConnectDialog && PeekMessageA(&msg, dialog, 0, 0, PM_REMOVE)) {
        if (TakeQuitRequest(msg)) return;
        if (IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT)) {
        if (TakeQuitRequest(msg)) return;
        DispatchMessageA(&msg);
    }
}
}  // namespace

// The dialog's procedure: Cancel marks the connect as cancelled.
INT_PTR CALLBACK ConnectDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetConnectTitle(hwnd);
        return TRUE;
    case WM_COMMAND:
        if (wParam != IDC_CONNECT_CANCEL) return FALSE;
        g_fConnectCancelled = true;
        return TRUE;
    case WM_DESTROY:
        if (hwnd == g_hwndConnectDialog) g_hwndConnectDialog = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

// Called by the library inside its calls; non-zero aborts the running call: the connect
// dialog's Cancel, or a stop asked of the running unit. It only serves messages while a
// connect dialog of its own thread exists, so later calls cannot re-enter the view.
int __cdecl ConnectAbortProc(void)
{
    HWND dialog = g_hwndConnectDialog;
    // A dialog of another thread is served by that thread; only its Cancel is read here.
    if (dialog && IsWindow(dialog) && GetWindowThreadProcessId(dialog, nullptr) == GetCurrentThreadId()) {
        const DWORD waiting = HIWORD(GetQueueStatus(QS_KEY | QS_MOUSEBUTTON));
        if (waiting & (QS_KEY | QS_MOUSEBUTTON)) CheckCancelUnderCursor(dialog);
        PumpDialogMessages(dialog);
    }
    const bool stopped = g_pConnection && g_pConnection->IsWorkCancelled();
    return g_fConnectCancelled || stopped ? 1 : 0;
}
