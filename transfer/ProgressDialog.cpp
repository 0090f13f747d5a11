// The progress dialogs of copying out and sending in.
#include "transfer/ProgressDialog.h"
#include <commctrl.h>
#include <shlwapi.h>
#include "camera/CameraConnection.h"
#include "camera/ProductName.h"
#include "base/ModuleState.h"
#include "base/TextHelpers.h"
#include "resources/resource.h"

namespace {
// Title buffer, in characters: a longer title is cut to fit.
const int kTitleCapacity = 100;
// Texts of the bytes and the rate, in characters.
const int kTextCapacity = 64;
// The bar's range: bytes are scaled to it.
const int kBarRange = 10000;
// No rate is told before the copy has run this long: the first figures are noise.
const ULONGLONG kFirstRateMs = 500;

// A byte count as the shell writes it ("3.20 MB").
void FormatBytes(ULONGLONG bytes, wchar_t* text)
{
    if (!StrFormatByteSizeW(static_cast<LONGLONG>(bytes), text, kTextCapacity)) text[0] = L'\0';
}

// String id with its two %s filled in, into the control.
void SetFormattedText(HWND dialog, int control, UINT id, const wchar_t* first, const wchar_t* second)
{
    wchar_t format[kTextCapacity];
    wchar_t text[2 * kTextCapacity];
    if (LoadStringW(g_hinstModule, id, format, kTextCapacity) <= 0) return;
    wnsprintfW(text, 2 * kTextCapacity, format, first, second);
    SetDlgItemTextW(dialog, control, text);
}
}  // namespace

ProgressDialog::ProgressDialog(ProgressKind kind, HWND owner, UINT total, CameraConnection* connection)
    : m_titleId(kind == ProgressKind::CopyOut ? IDS_COPYING_FROM : IDS_DOWNLOADING_TO),
      m_pConnection(connection),
      m_hwnd(CreateDialogParamA(g_hinstModule, MAKEINTRESOURCEA(kind == ProgressKind::CopyOut ? IDD_COPY_PROGRESS : IDD_UPLOAD_PROGRESS),
                                owner, DialogProc, reinterpret_cast<LPARAM>(this)))
{
    if (m_hwnd) SetDlgItemInt(m_hwnd.Get(), IDC_PROGRESS_TOTAL, total, FALSE);
}

void ProgressDialog::SetCurrent(UINT number)
{
    if (m_hwnd) SetDlgItemInt(m_hwnd.Get(), IDC_PROGRESS_CURRENT, number, FALSE);
}

// The bar, "done of total", and the rate with the time left.
void ProgressDialog::SetBytes(ULONGLONG done, ULONGLONG total, ULONGLONG elapsedMs)
{
    if (!m_hwnd) return;
    const ULONGLONG position = total ? done * kBarRange / total : 0;
    SendDlgItemMessageA(m_hwnd.Get(), IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    wchar_t doneText[kTextCapacity];
    wchar_t totalText[kTextCapacity];
    FormatBytes(done, doneText);
    FormatBytes(total, totalText);
    SetFormattedText(m_hwnd.Get(), IDC_PROGRESS_BYTES, IDS_PROGRESS_BYTES, doneText, totalText);
    ShowRate(done, total, elapsedMs);
}

// Bytes a second since the transfer began, and the time the rest takes at that rate.
void ProgressDialog::ShowRate(ULONGLONG done, ULONGLONG total, ULONGLONG elapsedMs)
{
    if (elapsedMs < kFirstRateMs || done == 0) return;
    const ULONGLONG rate = done * 1000 / elapsedMs;
    const ULONGLONG leftMs = total > done && rate ? (total - done) * 1000 / rate : 0;
    wchar_t rateText[kTextCapacity];
    wchar_t leftText[kTextCapacity];
    FormatBytes(rate, rateText);
    if (!StrFromTimeIntervalW(leftText, kTextCapacity, static_cast<DWORD>(leftMs < 1000 ? 1000 : leftMs), 2)) leftText[0] = L'\0';
    StrTrimW(leftText, L" ");
    SetFormattedText(m_hwnd.Get(), IDC_PROGRESS_RATE, IDS_PROGRESS_RATE, rateText, leftText);
}

// The title, the bar's range, and the object found again from the window.
void ProgressDialog::OnInitDialog(HWND hwnd)
{
    SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
    SendDlgItemMessageA(hwnd, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, kBarRange);
    char title[kTitleCapacity];
    if (BuildProductTitle(m_titleId, title, kTitleCapacity)) SetWindowTextA(hwnd, title);
}

// The user asked to stop: the transfer ends at its next check; one request is enough.
void ProgressDialog::OnCancel()
{
    if (m_pConnection) m_pConnection->CancelWork();
    if (m_hwnd) EnableWindow(GetDlgItem(m_hwnd.Get(), IDCANCEL), FALSE);
}

// The title at creation (the resource's title stays when the registry names no product);
// Cancel, Esc and the close box ask the transfer to stop.
INT_PTR CALLBACK ProgressDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        reinterpret_cast<ProgressDialog*>(lParam)->OnInitDialog(hwnd);
        return TRUE;
    }
    auto* dialog = reinterpret_cast<ProgressDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!dialog || message != WM_COMMAND || LOWORD(wParam) != IDCANCEL) return FALSE;
    dialog->OnCancel();
    return TRUE;
}
