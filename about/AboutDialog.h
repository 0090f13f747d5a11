// The about box: the versions of this module, the camera's firmware, the stream driver and
// the communication library. CameraConnection::ShowAboutBox runs it.
#pragma once
#include <windows.h>

// Procedure of dialog 117: fills the version fields when it opens; OK (or Enter) closes it.
INT_PTR CALLBACK AboutDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
