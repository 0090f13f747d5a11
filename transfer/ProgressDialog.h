// The progress windows shown while files move between the PC and the camera: "File n of m
// files.", a bar over all bytes, the bytes, rate and time left in words, and Cancel.
#pragma once
#include <windows.h>
#include "base/Raii.h"

class ProgressDialog {
public:
    ProgressDialog(const ProgressDialog&) = delete;
    ProgressDialog& operator=(const ProgressDialog&) = delete;

    // Shows the number of the file that begins now (1-based).
    void SetCurrent(UINT number);
    // Shows done of total bytes on the bar and in words, with the rate since the dialog
    // appeared and the time left once a rate can be told.
    void SetBytes(ULONGLONG done, ULONGLONG total);
    // Whether the user asked to stop (Cancel, Esc or closing the window); any thread may ask.
    bool Cancelled() const { return InterlockedCompareExchange(const_cast<LONG*>(&m_fCancelled), 0, 0) != 0; }
    HWND Window() const { return m_hwnd.Get(); }

protected:
    // Creates dialog resourceId owned by owner and shows total as the number of files. The title
    // becomes string titleId followed by the product's name when the registry has one.
    ProgressDialog(UINT resourceId, UINT titleId, HWND owner, UINT total);
    ~ProgressDialog() = default;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND hwnd);
    void OnCancel();
    void ShowRate(ULONGLONG done, ULONGLONG total);

    UINT m_titleId;
    LONG volatile m_fCancelled = 0;
    ULONGLONG m_startTick = GetTickCount64();
    WindowHandle m_hwnd;  // last: the dialog's first messages find the fields above set
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
