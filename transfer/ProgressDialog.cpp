// The progress dialogs of copying out and sending in.
#include "transfer/ProgressDialog.h"
#include "camera/ProductName.h"
#include "base/ModuleState.h"
#include "base/TextHelpers.h"
#include "resources/resource.h"

namespace {
// Title buffer, in characters: a longer title is cut to fit.
const int kTitleCapacity = 100;
}  // namespace

ProgressDialog::ProgressDialog(UINT resourceId, UINT titleId, HWND owner, UINT total)
    : m_hwnd(CreateDialogParamA(g_hinstModule, MAKEINTRESOURCEA(resourceId), owner, DialogProc, titleId))
{
    if (m_hwnd) SetDlgItemInt(m_hwnd.Get(), IDC_PROGRESS_TOTAL, total, FALSE);
}

void ProgressDialog::SetCurrent(UINT number)
{
    if (m_hwnd) SetDlgItemInt(m_hwnd.Get(), IDC_PROGRESS_CURRENT, number, FALSE);
}

// Only the title is set up; the resource's title stays when the registry names no product.
INT_PTR CALLBACK ProgressDialog::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG) return FALSE;
    char title[kTitleCapacity];
    if (BuildProductTitle(static_cast<UINT>(lParam), title, kTitleCapacity)) SetWindowTextA(hwnd, title);
    return TRUE;
}

CopyProgressDialog::CopyProgressDialog(HWND owner, UINT total) : ProgressDialog(IDD_COPY_PROGRESS, IDS_COPYING_FROM, owner, total) {}

UploadProgressDialog::UploadProgressDialog(HWND owner, UINT total)
    : ProgressDialog(IDD_UPLOAD_PROGRESS, IDS_DOWNLOADING_TO, owner, total)
{
}
