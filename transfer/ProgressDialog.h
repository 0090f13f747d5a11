// The progress windows shown while files move between the PC and the camera: "File n of m
// files.", a bar over all bytes, the bytes, rate and time left in words, and Cancel.
#pragma once
#include <windows.h>
#include "base/Raii.h"

class CameraConnection;

// Which transfer a dialog shows: its template and title.
enum class ProgressKind { CopyOut, Upload };

class ProgressDialog {
public:
    // Creates the dialog of kind owned by owner and shows total as the number of files. The
    // title becomes the kind's title followed by the product's name when the registry has one.
    // Cancel asks connection's running unit to stop.
    ProgressDialog(ProgressKind kind, HWND owner, UINT total, CameraConnection* connection);
    ProgressDialog(const ProgressDialog&) = delete;
    ProgressDialog& operator=(const ProgressDialog&) = delete;

    // Shows the number of the file that begins now (1-based).
    void SetCurrent(UINT number);
    // Shows done of total bytes on the bar and in words, with the rate over elapsedMs and the
    // time left once a rate can be told.
    void SetBytes(ULONGLONG done, ULONGLONG total, ULONGLONG elapsedMs);
    HWND Window() const { return m_hwnd.Get(); }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND hwnd);
    void OnCancel();
    void ShowRate(ULONGLONG done, ULONGLONG total, ULONGLONG elapsedMs);

    UINT m_titleId;
    CameraConnection* m_pConnection;
    WindowHandle m_hwnd;  // last: the dialog's first messages find the fields above set
};
