// The camera folder's view: the IShellView object the browser embeds, its window and the window's messages.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include "base/ComObject.h"
#include "base/Raii.h"
#include "camera/CameraConnectionUse.h"
#include "transfer/ItemView.h"
#include "transfer/ViewOperation.h"
#include "view/BrowserMerge.h"
#include "view/ListNotifications.h"
#include "view/ListingJob.h"
#include "view/ViewCommands.h"
#include "view/ViewRows.h"
#include "view/ViewThumbnails.h"

class ViewDropTarget;

// The view window's class.
extern const char kViewClassName[];  // "LumoraNSClass"

// The view shows the camera's files in its rows, merges its menus, buttons and status texts
// into the browser (BrowserMerge) and carries out its commands (ViewCommands).
class CameraView final : public ComObject<CameraView, IShellView, ItemView> {
public:
    // A view of the folder with one reference, or null when it cannot be made.
    static CameraView* Create(IShellFolder* folder);

    static const QITAB* InterfaceTable();

    // IOleWindow
    IFACEMETHODIMP GetWindow(HWND* phwnd) override;
    IFACEMETHODIMP ContextSensitiveHelp(BOOL fEnterMode) override;

    // IShellView
    IFACEMETHODIMP TranslateAccelerator(MSG* pmsg) override;
    IFACEMETHODIMP EnableModeless(BOOL fEnable) override;
    IFACEMETHODIMP UIActivate(UINT uState) override;
    IFACEMETHODIMP Refresh() override;  // also ItemView's
    IFACEMETHODIMP CreateViewWindow(IShellView* psvPrevious, LPCFOLDERSETTINGS pfs, IShellBrowser* psb,
                                    RECT* prcView, HWND* phWnd) override;
    IFACEMETHODIMP DestroyViewWindow() override;
    IFACEMETHODIMP GetCurrentInfo(LPFOLDERSETTINGS pfs) override;
    IFACEMETHODIMP AddPropertySheetPages(DWORD dwReserved, LPFNSVADDPROPSHEETPAGE pfn, LPARAM lparam) override;
    IFACEMETHODIMP SaveViewState() override;
    IFACEMETHODIMP SelectItem(LPCITEMIDLIST pidlItem, SVSIF uFlags) override;
    IFACEMETHODIMP GetItemObject(UINT uItem, REFIID riid, void** ppv) override;

    // ItemView (the rest of it)
    void MarkCutItems(LPCITEMIDLIST* apidl, UINT cidl, BOOL fMark) override { m_rows.MarkCutItems(apidl, cidl, fMark); }
    void RemoveCutRows() override { m_rows.RemoveCutRows(); }
    bool IsOwnData(IDataObject* pData) const override { return m_commands.IsOwnData(pData); }
    HRESULT UploadFiles(HDROP hDrop) override { return m_commands.UploadFiles(hDrop); }
    bool BeginOperation() override;
    void EndOperation() override;

    // The window procedure of "LumoraNSClass".
    static LRESULT CALLBACK ViewWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    // Commands: every menu item, button, key, context menu and row activation arrives here.
    void ShowItemMenu(int x, int y, bool fDefault, int idCommand) { m_commands.ShowItemMenu(x, y, fDefault, idCommand); }
    // A command of the view chosen through the folder's context menu for its items: carried
    // out as if chosen in the view, on those items. S_OK when it was done; a failure when
    // it was not (E_FAIL while another command of the view runs, E_INVALIDARG for a
    // command on files through a menu made for none).
    HRESULT InvokeMenuCommand(UINT idCommand, UINT cidl, const LPCITEMIDLIST* apidl)
    {
        return m_commands.InvokeMenuCommand(idCommand, cidl, apidl);
    }
    void SetViewMode(UINT uViewMode) { m_commands.SetViewMode(uViewMode); }
    POINT ContextMenuPosition(LPARAM lParam) const { return m_rows.ContextMenuPosition(lParam); }
    // The last Cut or Copy: whether it was a Cut still pending, and its data (not owned).
    UINT CutPending() const { return m_commands.CutPending(); }
    IDataObject* ClipboardData() const { return m_commands.ClipboardData(); }
    HWND ListWindow() const { return m_rows.ListWindow(); }

    // The view's parts, and what they ask of the view itself.
    ViewRows& Rows() { return m_rows; }
    ViewCommands& Commands() { return m_commands; }
    ViewThumbnails& Thumbnails() { return m_thumbnails; }
    HWND Window() const { return m_hwndView; }
    UINT ViewMode() const { return m_FolderSettings.ViewMode; }
    void RememberViewMode(UINT uViewMode) { m_FolderSettings.ViewMode = uViewMode; }
    void OnViewWindowFocus();
    void OnListFocusLost(HWND hwndFocus);
    void PostSelectionChanged();
    // Whether the camera is being read into the rows, and how far: files read, files listed.
    bool IsListing() const { return m_pListing != nullptr || m_fRefreshScheduled; }
    // Whether a command, drag or upload of the view runs.
    bool IsBusy() const { return m_fBusy; }
    bool GetListingProgress(UINT* read, UINT* listed) const;

private:
    explicit CameraView(IShellFolder* folder);
    ~CameraView() override;
    bool Initialize();

    static bool RegisterViewClass();
    LRESULT HandleMessage(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    void OnFocusMessage(UINT uMsg, HWND hwndOther);
    void OnSelectionChanged();
    void OnCreate();
    void OnSize(int cx, int cy);
    void OnWindowDestroyed();
    void StopCameraWork(HWND hwnd);
    void DetachWindow();
    void StartListing();
    void OnListingNews(LPARAM id);
    void FinishListing();

    // Fields, destroyed in reverse order: the parts before the connection and the folder.
    HWND m_hwndView = nullptr;
    FOLDERSETTINGS m_FolderSettings = {FVM_DETAILS, 0};
    ComPtr<IShellFolder> m_pFolder;
    CameraConnectionUse m_connection;
    ViewRows m_rows;
    BrowserMerge m_merge;
    ViewCommands m_commands;
    ListNotifications m_notifications;
    ViewThumbnails m_thumbnails;
    ComPtr<ViewDropTarget> m_pDropTarget;
    HACCEL m_hAccel = nullptr;  // a module resource: not destroyed
    bool m_fDropRegistered = false;
    bool m_fBusy = false;                   // a command, drag or upload of the view runs
    bool m_fRefreshPending = false;         // a refresh asked for while busy: done at the end
    bool m_fSelectionChangePosted = false;  // toolbar and status follow the selection soon
    bool m_fRefreshScheduled = false;       // a refresh waits for this thread's unit of camera work to end
    ULONGLONG m_lastRowsTick = 0;           // when the running reading's rows were last taken
    std::unique_ptr<ListingJob> m_pListing;  // the camera being read into the rows, while it is
};

// Posted to the view window when the selection changed: toolbar and status texts follow
// once a burst of changes is over.
UINT ViewSelectionChangedMessage();

// The view kept by a "LumoraNSClass" window, with one reference added; null for any other window.
CameraView* ViewFromWindow(HWND hwnd);
