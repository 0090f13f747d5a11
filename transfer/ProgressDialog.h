// The "File n of m files." windows shown while files move between the PC and the camera:
// modeless, visible from their creation, owned by the view window, gone with their holder.
#pragma once
#include <windows.h>
#include "base/Raii.h"

class ProgressDialog {
public:
    ProgressDialog(const ProgressDialog&) = delete;
    ProgressDialog& operator=(const ProgressDialog&) = delete;

    // Shows the number of the file that begins now (1-based).
    void SetCurrent(UINT number);
    HWND Window() const { return m_hwnd.Get(); }

protected:
    // Creates dialog resourceId owned by owner and shows total as the number of files. The title
    // becomes string titleId followed by the product's name when the registry has one.
    ProgressDialog(UINT resourceId, UINT titleId, HWND owner, UINT total);
    ~ProgressDialog() = default;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    WindowHandle m_hwnd;
};

// Shown while camera files are copied into the folder of temporary copies.
class CopyProgressDialog final : public ProgressDialog {
public:
    CopyProgressDialog(HWND owner, UINT total);
};

// Shown while PC files are sent to the camera.
class UploadProgressDialog final : public ProgressDialog {
public:
    UploadProgressDialog(HWND owner, UINT total);
};
