// Every failure the user hears of: one text of the string table in a warning box.
#include "camera/CameraMessages.h"
#include <shlwapi.h>
#include <memory>
#include <new>
#include "camera/CameraConnection.h"
#include "camera/ProductName.h"
#include "camera/TempCopyFolder.h"
#include "base/TextHelpers.h"
#include "resources/resource.h"

namespace {
// Shown for a message id that has no text; the view is listed again afterwards.
const char kNotAvailableText[] = "This file is not available! The camera window will now be refreshed. Select OK to continue";
// Message buffers, in characters.
const int kMessageCapacity = 260;
// A message with an insert (a folder, a list of names): its text and the insert.
const int kInsertMessageCapacity = 4096;

struct ShellErrorMessage {
    UINT_PTR code;
    UINT id;
};

// What a failed ShellExecute (or one of the private codes) tells the user.
const ShellErrorMessage kShellErrorMessages[] = {
    {SE_ERR_FNF, IDS_SHELL_FILE_NOT_FOUND},
    {SE_ERR_PNF, IDS_SHELL_PATH_NOT_FOUND},
    {SE_ERR_ASSOCINCOMPLETE, IDS_SHELL_NO_ASSOCIATION},
    {SE_ERR_NOASSOC, IDS_SHELL_NO_ASSOCIATION},
    {SE_ERR_ACCESSDENIED, IDS_SHELL_OPEN_FAILED},
    {SE_ERR_OOM, IDS_SHELL_OPEN_FAILED},
    {ERROR_BAD_FORMAT, IDS_SHELL_OPEN_FAILED},
    {SE_ERR_SHARE, IDS_SHELL_OPEN_FAILED},
    {SE_ERR_DDETIMEOUT, IDS_SHELL_OPEN_FAILED},
    {SE_ERR_DDEFAIL, IDS_SHELL_OPEN_FAILED},
    {SE_ERR_DDEBUSY, IDS_SHELL_OPEN_FAILED},
    {SE_ERR_DLLNOTFOUND, IDS_SHELL_OPEN_FAILED},
    {kShellOutOfMemory, IDS_TRANSFER_BASE + 0},
    {kShellLargeFileRefused, IDS_TRANSFER_BASE + 5},
};

// The caption of every box: the registry's product name, else string 1.
void LoadCaption(char* caption)
{
    LoadProductName(caption, kMessageCapacity);
}

// The text of a message id; empty when the string table has none (ids are 16-bit).
void LoadMessageText(UINT id, char* text)
{
    text[0] = '\0';
    if (id > 0xFFFF) return;
    LoadStringA(g_hinstModule, id, text, kMessageCapacity);
}
}  // namespace

// The folder of temporary copies cannot be used: the message names it as the PC spells it
// (a wide box), and blames neither the camera nor its connection.
void CameraMessages::ReportTempFolderUnusable(const wchar_t* folder)
{
    LinkLock lock(&m_connection);
    wchar_t shown[TempCopyFolder::kCapacity] = L"";
    if (folder) lstrcpynW(shown, folder, TempCopyFolder::kCapacity);
    const int length = lstrlenW(shown);
    if (length > 1 && shown[length - 1] == L'\\') shown[length - 1] = L'\0';
    ShowMessageWith(IDS_TEMP_FOLDER_UNUSABLE, shown);
}

// Task-modal with the warning icon and the product name as caption, as every message; a
// quiet unit shows none.
void CameraMessages::ShowMessageWith(UINT id, const wchar_t* insert)
{
    if (m_connection.IsQuietWork()) return;
    wchar_t format[kMessageCapacity] = L"";
    if (LoadStringW(g_hinstModule, id, format, kMessageCapacity) <= 0) return;
    std::unique_ptr<wchar_t[]> text(new (std::nothrow) wchar_t[kInsertMessageCapacity]);
    if (!text) return;
    wnsprintfW(text.get(), kInsertMessageCapacity, format, insert ? insert : L"");
    char caption[kMessageCapacity];
    LoadCaption(caption);
    wchar_t wideCaption[kMessageCapacity];
    AnsiToWide(wideCaption, caption, kMessageCapacity);
    m_connection.RunOnWindowThread(
        [&] { MessageBoxW(m_connection.OwnerWindow(), text.get(), wideCaption, MB_TASKMODAL | MB_ICONWARNING); });
}

// A failed library call: its message, then the link is closed.
void CameraMessages::ReportComStatus(ComStatus status)
{
    if (status == ZQ_STATUS_OK) return;
    const UINT offset = status < 0 ? 0u : static_cast<UINT>(status);
    const UINT id = offset > 0xFFFFu ? 0x10000u : IDS_COMSTATUS_BASE + offset;
    // A stop the user asked for is no failure to tell.
    if (status != ZQ_STATUS_ABORTED || !m_connection.IsWorkCancelled()) ShowMessage(id);
    m_connection.Disconnect();
}

// One of the extension's own transfer failures; the link stays as it is.
void CameraMessages::ReportTransferError(TransferError error)
{
    if (error < 0) return;
    ShowMessage(IDS_TRANSFER_BASE + static_cast<UINT>(error));
}

// A failed ShellExecute or a private code; codes without a message show nothing.
void CameraMessages::ReportShellError(UINT_PTR code)
{
    for (const ShellErrorMessage& message : kShellErrorMessages) {
        if (message.code != code) continue;
        ShowMessage(message.id);
        return;
    }
}

// One warning box with the text of id; an id without text says the file is gone and refreshes.
void CameraMessages::ShowMessage(UINT id)
{
    LinkLock lock(&m_connection);
    char text[kMessageCapacity];
    LoadMessageText(id, text);
    if (text[0] != '\0') {
        ShowMessageBox(text);
        return;
    }
    ReportNotAvailable();
}

// A listing's gone file: told like any other, but only once while listings keep meeting it.
void CameraMessages::ReportGoneWhileListing()
{
    m_fListing = true;
    ReportTransferError(kTransferFileNotAvailable);
    m_fListing = false;
}

// A file is gone: the box, then the unit's window is asked to list the camera again once
// the unit is over. A listing that meets a gone file the user was told of stays quiet, and
// so does a quiet unit.
void CameraMessages::ReportNotAvailable()
{
    if (m_connection.IsQuietWork()) return;
    if (m_fListing && m_fNotAvailableTold) return;
    ShowMessageBox(kNotAvailableText);
    m_fNotAvailableTold = true;
    if (HWND owner = m_connection.OwnerWindow()) PostMessageA(owner, CameraRefreshMessage(), 0, 0);
}

// The task-modal warning box, parented to the owner view's window; none in a quiet unit.
void CameraMessages::ShowMessageBox(const char* text)
{
    if (m_connection.IsQuietWork()) return;
    char caption[kMessageCapacity];
    LoadCaption(caption);
    m_connection.RunOnWindowThread([&] { MessageBoxA(m_connection.OwnerWindow(), text, caption, MB_TASKMODAL | MB_ICONWARNING); });
}
