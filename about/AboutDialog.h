// The about box: the versions of this module, the camera's firmware, the stream driver and the library.
#pragma once
#include <windows.h>

class CameraConnection;

// The about box as one unit of camera work with the parent's window: the link is opened for it
// when closed (a failure is told as usual and the box comes all the same), and the unit's end
// closes a link of type 0. Returns when the box is closed.
void ShowAboutBox(CameraConnection* connection, HWND hwndParent);

// Procedure of dialog 117: fills the version fields when it opens; OK (or Enter) closes it.
INT_PTR CALLBACK AboutDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
