// The "Connecting to" dialog of the slow connect attempt and the library's abort callback.
#pragma once
#include <windows.h>

// Set by the dialog's Cancel (or a quit request) while a connect runs; the connect clears it.
extern bool volatile g_fConnectCancelled;
// The dialog while a connect shows it, else null.
extern HWND g_hwndConnectDialog;

// The dialog's procedure: Cancel marks the connect as cancelled.
INT_PTR CALLBACK ConnectDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Called by the library inside its calls: serves the dialog, non-zero aborts the running call.
int __cdecl ConnectAbortProc(void);
