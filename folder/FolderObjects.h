// What the folder hands out but the layers above it make: the view (view/), the data object
// of its items (transfer/), and the view's commands that its context menu carries out. The
// folder declares them here; those layers define them.
#pragma once
#include <windows.h>
#include <shlobj.h>

// A new view of the folder with one reference; null when it cannot be made.
IShellView* CreateCameraView(IShellFolder* folder);

// A new data object of the items (a Cut when *pfCut is non-zero) with one reference; null
// when it cannot be made.
IDataObject* CreateItemDataObject(HWND hwndOwner, const LPCITEMIDLIST* apidl, UINT cidl, const UINT* pfCut);

// Carries a command out through the camera view whose window hwnd is, on the given items, as
// if chosen in the view: the view's answer (S_OK when done); E_FAIL when hwnd shows no view.
HRESULT InvokeViewCommand(HWND hwnd, UINT idCommand, UINT cidl, const LPCITEMIDLIST* apidl);
