// The view's commands: the choice through the folder's context menu, the handlers, dragging files out and sending files in.
#include "view/ViewCommands.h"
#include <utility>
#include "about/AboutDialog.h"
#include "camera/BackgroundWork.h"
#include "folder/ItemContextMenu.h"
#include "resources/resource.h"
#include "transfer/ItemDropSource.h"
#include "transfer/TransferProgress.h"
#include "transfer/UploadRun.h"
#include "transfer/ViewOperation.h"
#include "view/CameraView.h"

namespace {
// The context menu fills ids 0 to this; its own ids do not go past 14.
constexpr UINT kLastMenuId = 100;
// An Open whose copies take longer than this shows their progress.
constexpr DWORD kOpenProgressDelayMs = 500;

// Calls act(name) for each item in order until one fails; true when none failed.
template <typename Act> bool ForEachItemName(ItemIdManager* manager, UINT cidl, LPCITEMIDLIST* apidl, Act act)
{
    if (!apidl) return true;
    for (UINT i = 0; i < cidl; ++i) {
        char name[MAX_PATH] = "";
        if (apidl[i]) manager->GetItemName(apidl[i], name, MAX_PATH);
        if (!act(name)) return false;
    }
    return true;
}

// The menu's default item (the first with MFS_DEFAULT, by position); 0 when it has none.
UINT DefaultCommand(HMENU hmenu)
{
    for (UINT position = 0;; ++position) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STATE | MIIM_ID;
        if (!GetMenuItemInfoA(hmenu, position, TRUE, &info)) return 0;
        if (info.fState & MFS_DEFAULT) return info.wID;
    }
}

// Open, Delete, Copy and Cut act on files; a menu made for none has nothing for them.
bool ActsOnItems(UINT idCommand)
{
    return idCommand >= IDM_OPEN && idCommand <= IDM_CUT;
}

// S_OK for a handler that did what it was asked, else E_FAIL.
HRESULT DoneOrFailed(bool done)
{
    return done ? S_OK : E_FAIL;
}
}  // namespace

// One command at a time: a command that arrives while another runs (through a message
// box's, the connect dialog's or a menu's loop) is refused without a trace. A refresh asked
// for meanwhile runs when the command is over; the toolbar and status texts follow.
void ViewCommands::ShowItemMenu(int x, int y, bool fDefault, int idCommand)
{
    ViewOperation operation(&m_view);
    if (!operation) return;
    RunItemMenu(x, y, fDefault, idCommand);
    FinishCommand();
}

// The folder's menu for the selection (or the background) decides the command: its default
// item, the given command, or the user's choice in the popup at (x, y).
void ViewCommands::RunItemMenu(int x, int y, bool fDefault, int idCommand)
{
    ItemCopies items(m_rows.Malloc(), m_rows.IdManager());
    if (!CopySelection(&items)) return;
    ComPtr<IContextMenu> menu = ContextMenuFor(items);
    MenuHandle popup(menu ? CreatePopupMenu() : nullptr);
    if (!popup || FAILED(menu->QueryContextMenu(popup.Get(), 0, 0, kLastMenuId, ContextMenuFlags()))) return;
    const UINT id = ChooseCommand(popup.Get(), x, y, fDefault, idCommand);
    if (id == 0) return;
    if (IsViewCommand(id)) RunCommand(id, items.Count(), items.Items());
    else InvokeMenuVerb(menu.Get(), id);
}

HRESULT ViewCommands::InvokeMenuCommand(UINT idCommand, UINT cidl, const LPCITEMIDLIST* apidl)
{
    if (!IsViewCommand(idCommand) || (cidl == 0 && ActsOnItems(idCommand))) return E_INVALIDARG;
    ViewOperation operation(&m_view);
    if (!operation) return E_FAIL;
    ItemCopies items(m_rows.Malloc(), m_rows.IdManager());
    HRESULT hr = E_OUTOFMEMORY;
    if (items.Assign(apidl, cidl)) hr = RunCommand(idCommand, items.Count(), items.Items());
    FinishCommand();
    return hr;
}

// Copies of the selected rows' items; none while the view is active without the focus.
// False when memory ran out.
bool ViewCommands::CopySelection(ItemCopies* pItems)
{
    if (m_merge.State() == SVUIA_ACTIVATE_NOFOCUS) return true;
    UINT cidl = 0;
    MallocPtr<LPCITEMIDLIST> selection(m_rows.Malloc(), m_rows.CollectSelection(&cidl));
    if (cidl == 0) return true;
    return selection && pItems->Assign(selection.Get(), cidl);
}

// The folder's menu for the items, or its background menu without any; null when refused.
ComPtr<IContextMenu> ViewCommands::ContextMenuFor(const ItemCopies& items)
{
    ComPtr<IContextMenu> menu;
    void** ppv = reinterpret_cast<void**>(menu.GetAddressOf());
    if (items.Count() != 0)
        m_pFolder->GetUIObjectOf(m_merge.ParentWindow(), items.Count(), items.Items(), IID_IContextMenu, nullptr, ppv);
    else
        m_pFolder->CreateViewObject(m_merge.ParentWindow(), IID_IContextMenu, ppv);
    return menu;
}

// CMF_EXPLORE when the browser shows a folder tree, else CMF_NORMAL.
UINT ViewCommands::ContextMenuFlags()
{
    return m_merge.ShowsFolderTree() ? CMF_EXPLORE : CMF_NORMAL;
}

// The default item, the given command (which needs no item of its own), or the popup's
// answer (0 when dismissed). The popup opens where it was asked, on any monitor.
UINT ViewCommands::ChooseCommand(HMENU hmenu, int x, int y, bool fDefault, int idCommand)
{
    if (fDefault) return DefaultCommand(hmenu);
    if (idCommand != -1) return static_cast<UINT>(idCommand);
    return static_cast<UINT>(TrackPopupMenu(hmenu, TPM_RETURNCMD, x, y, 0, m_view.Window(), nullptr));
}

// Carries out one of the view's own commands on the items.
HRESULT ViewCommands::RunCommand(UINT idCommand, UINT cidl, LPCITEMIDLIST* apidl)
{
    switch (idCommand) {
    case IDM_OPEN: return DoneOrFailed(OpenItems(cidl, apidl));
    case IDM_DELETE: return DoneOrFailed(DeleteItems(cidl, apidl));
    case IDM_COPY:
    case IDM_CUT: return DoneOrFailed(CopyItemsToClipboard(cidl, apidl, idCommand == IDM_CUT) != FALSE);
    case IDM_PASTE: return PasteFromClipboard();
    case IDM_SELECTALL: SelectAllItems(); return S_OK;
    case IDM_INVERTSELECTION: InvertSelection(); return S_OK;
    case IDM_VIEW_LARGEICONS: SetViewMode(FVM_ICON); return S_OK;
    case IDM_VIEW_SMALLICONS: SetViewMode(FVM_SMALLICON); return S_OK;
    case IDM_VIEW_LIST: SetViewMode(FVM_LIST); return S_OK;
    case IDM_VIEW_DETAILS: SetViewMode(FVM_DETAILS); return S_OK;
    case IDM_VIEW_THUMBNAILS: SetViewMode(FVM_THUMBNAIL); return S_OK;
    case IDM_ABOUT:
        if (!m_pConnection) return E_OUTOFMEMORY;
        ShowAboutBox(m_pConnection, m_view.Window());
        return S_OK;
    default: return E_INVALIDARG;
    }
}

// An id the view has no handler for goes to the context menu as a numeric verb; the menu
// never hands such an id back to the view.
void ViewCommands::InvokeMenuVerb(IContextMenu* pMenu, UINT idCommand)
{
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.hwnd = m_view.Window();
    info.lpVerb = MAKEINTRESOURCEA(LOWORD(idCommand));
    pMenu->InvokeCommand(&info);
}

// After every command: the toolbar's buttons and the status texts.
void ViewCommands::FinishCommand()
{
    m_merge.UpdateToolbar();
    m_merge.UpdateStatusBar(true, false);
}

// Opens each file through a temporary copy, in one unit of camera work on a worker thread;
// the first file that cannot be opened ends the command. A copy that takes a while shows
// its progress, and its Cancel ends the command.
bool ViewCommands::OpenItems(UINT cidl, LPCITEMIDLIST* apidl)
{
    ItemIdManager* manager = m_rows.IdManager();
    const ULONGLONG bytes = manager->GetTotalFileSize(apidl, cidl);
    TransferProgress progress(m_pConnection, ProgressKind::CopyOut, m_view.Window(), cidl, bytes, kOpenProgressDelayMs);
    bool opened = false;
    auto open = [&] {
        if (!m_pConnection->Connect()) return;
        progress.Begin();
        UINT number = 0;
        opened = ForEachItemName(manager, cidl, apidl, [&](const char* name) {
            progress.BeginFile(++number);
            return !m_pConnection->IsWorkCancelled() && m_pConnection->Files().OpenCameraFile(name);
        });
    };
    return BackgroundWork::Run(m_pConnection, m_view.Window(), open, progress) && opened;
}

// Deletes each file without asking, in one unit of camera work on a worker thread; the
// first failure ends the deletions. The list is read again in every case (once the command
// is over).
bool ViewCommands::DeleteItems(UINT cidl, LPCITEMIDLIST* apidl)
{
    bool deleted = false;
    auto erase = [&] {
        deleted = m_pConnection->Connect() && ForEachItemName(m_rows.IdManager(), cidl, apidl, [&](const char* name) {
                      return m_pConnection->Files().DeleteCameraFile(name);
                  });
    };
    BackgroundWork::Run(m_pConnection, m_view.Window(), erase);
    m_view.Refresh();
    return deleted;
}

// Places the folder's data object for the items on the clipboard (for a Cut, the rows are
// dimmed). The marks of an earlier Cut go first; when no object is made or the clipboard
// refuses it, nothing is pending, no data is remembered and the answer is FALSE.
BOOL ViewCommands::CopyItemsToClipboard(UINT cidl, LPCITEMIDLIST* apidl, UINT fCut)
{
    m_rows.ClearCutMarks();
    m_fCutPending = 0;
    m_pClipboardData = nullptr;
    UINT flags = fCut;
    ComPtr<IDataObject> data;
    const HRESULT hr = m_pFolder->GetUIObjectOf(m_view.Window(), cidl, apidl, IID_IDataObject, &flags,
                                                reinterpret_cast<void**>(data.GetAddressOf()));
    if (FAILED(hr) || !data || FAILED(OleSetClipboard(data.Get()))) return FALSE;
    // The clipboard holds the object now; the view only remembers it.
    m_pClipboardData = data.Get();
    m_fCutPending = fCut;
    if (fCut) m_rows.MarkCutItems(apidl, cidl, TRUE);
    return TRUE;
}

// Uploads the clipboard's file list as it stands (the upload checks the block), with the
// clipboard open throughout. A clipboard that cannot be opened or holds no file list is a
// failure: nothing was pasted. Otherwise the upload's result, a failure too when it left a
// file out.
HRESULT ViewCommands::PasteFromClipboard()
{
    OpenedClipboard clipboard(OpenClipboard(nullptr));
    if (!clipboard) return CLIPBRD_E_CANT_OPEN;
    HANDLE files = GetClipboardData(CF_HDROP);
    if (!files) return DV_E_FORMATETC;
    return UploadFiles(static_cast<HDROP>(files));
}

// Selects every row.
void ViewCommands::SelectAllItems()
{
    const HWND list = m_rows.ListWindow();
    if (!list) return;
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

// Selects the rows that were not selected and deselects the others; the focus stays.
void ViewCommands::InvertSelection()
{
    const HWND list = m_rows.ListWindow();
    m_rows.ForEachRow(false, [&](int row) {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED;
        item.state = SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) ? 0 : LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    });
}

// The browser learns the mode through GetCurrentInfo; the list takes its style and, for
// Thumbnails, the pictures; the icon modes arrange to the top.
void ViewCommands::SetViewMode(UINT uViewMode)
{
    m_view.RememberViewMode(uViewMode);
    const HWND list = m_rows.ListWindow();
    if (!list) return;
    m_view.Thumbnails().SetShown(uViewMode == FVM_THUMBNAIL);
    const LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
    SetWindowLongPtrA(list, GWL_STYLE, (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | ListStyleForMode(uViewMode));
    if (uViewMode == FVM_ICON || uViewMode == FVM_SMALLICON || uViewMode == FVM_THUMBNAIL) m_rows.Arrange();
}

// Sends the files of a CF_HDROP list to the camera in one unit of camera work. A block that
// is no sound list sends nothing. The view lists the camera again when anything arrived.
// Files left out for a reason of their own on the PC (a folder, a file that cannot be
// opened or read) are named in one message at the end, and the run does not answer
// success: the result is the run's first failure (for such a file, the system's error as
// an HRESULT; ERROR_DIRECTORY_NOT_SUPPORTED for a folder), which the drop target answers with
// DROPEFFECT_NONE and the Paste command returns. Files of other types are left out quietly,
// and files the user was told of by their own message (too large for the firmware, no free
// name) leave the result as it is.
HRESULT ViewCommands::UploadFiles(HDROP hDrop)
{
    DropFileList files;
    if (!files.Open(reinterpret_cast<HGLOBAL>(hDrop))) return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    if (files.Count() == 0) return S_OK;  // an empty list leaves the camera alone
    if (!m_pConnection) return E_OUTOFMEMORY;
    UploadRun run(m_pConnection);
    char name[kCameraNameBuffer];
    for (int row = 0; m_rows.GetListItemName(row, name); ++row)
        if (name[0] != '\0' && FAILED(run.Take(name))) return E_OUTOFMEMORY;
    TransferProgress progress(m_pConnection, ProgressKind::Upload, m_view.Window(), files.Count(), BytesToSend(reinterpret_cast<HGLOBAL>(hDrop)));
    HRESULT hr = E_OUTOFMEMORY;
    auto send = [&] {
        run.Start(m_pConnection->Connect());
        hr = run.TakeCameraNames();
        if (FAILED(hr)) return;
        SendFiles(files, run, progress);
        if (!m_pConnection->IsWorkCancelled()) run.ReportLeftOut();
        hr = run.Result();
    };
    if (!BackgroundWork::Run(m_pConnection, m_view.Window(), send, progress)) return E_OUTOFMEMORY;
    if (run.SentAnything()) m_view.Refresh();
    return hr;
}

// Escape after a Cut whose data the clipboard still holds: the clipboard is emptied and
// the cut marks go.
void ViewCommands::CancelCut()
{
    if (!m_fCutPending || !m_pClipboardData || OleIsCurrentClipboard(m_pClipboardData) != S_OK) return;
    OleSetClipboard(nullptr);
    m_fCutPending = 0;
    m_pClipboardData = nullptr;
    m_rows.ClearCutMarks();
}

// Drags the selected files out as a copy, when the folder gives a data object for them.
void ViewCommands::DragSelection()
{
    ViewOperation operation(&m_view);
    if (!operation) return;
    UINT cidl = 0;
    MallocPtr<LPCITEMIDLIST> selection(m_rows.Malloc(), m_rows.CollectSelection(&cidl));
    if (cidl == 0 || !selection) return;
    ComPtr<IDataObject> data;
    if (FAILED(m_pFolder->GetUIObjectOf(m_view.Window(), cidl, selection.Get(), IID_IDataObject, nullptr,
                                        reinterpret_cast<void**>(data.GetAddressOf()))) || !data) {
        return;
    }
    ComPtr<ItemDropSource> source = Adopt(ItemDropSource::Create());
    if (!source) return;
    // While the drag runs the view's own drop target knows the data; the clipboard's comes back after.
    IDataObject* previous = std::exchange(m_pClipboardData, data.Get());
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY, &effect);
    m_pClipboardData = previous;
}
