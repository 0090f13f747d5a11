// The "Connecting to" dialog shown during the slow second connect attempt, and the
// library's abort callback that keeps it alive and watches its Cancel button.
#include "camera/CameraConnection.h"
#include "module/TextHelpers.h"
#include "resources/resource.h"

bool volatile g_fConnectCancelled = false;
HWND g_hwndConnectDialog = nullptr;

namespace {
// Title buffer of the dialog, in characters.
const int kTitleCapacity = 100;

// "Connecting to " and the product name, when the registry names the product.
void SetConnectTitle(HWND hwnd)
{
    char product[100];
    if (!ReadProductName(product, sizeof(product))) return;
    char title[kTitleCapacity] = "";
    LoadStringA(g_hinstModule, IDS_CONNECTING_TO, title, kTitleCapacity);
    AppendStringN(title, product, kTitleCapacity);
    SetWindowTextA(hwnd, title);
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

// Dispatches every waiting message of the thread, the dialog's own first through it.
void PumpWaitingMessages(HWND dialog)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (g_hwndConnectDialog && IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
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

// Called by the library inside its calls; non-zero aborts the running call. It only
// pumps messages while a connect dialog exists, so later calls cannot re-enter the view.
int __cdecl ConnectAbortProc(void)
{
    HWND dialog = g_hwndConnectDialog;
    if (!dialog || !IsWindow(dialog)) return g_fConnectCancelled ? 1 : 0;
    const DWORD waiting = HIWORD(GetQueueStatus(QS_KEY | QS_MOUSEBUTTON));
    if (waiting & (QS_KEY | QS_MOUSEBUTTON))
        CheckCancelUnderCursor(dialog);
    else
        PumpWaitingMessages(dialog);
    return g_fConnectCancelled ? 1 : 0;
}
