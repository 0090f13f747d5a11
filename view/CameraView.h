// The camera folder's view: the object the browser embeds in its window, with the list of
// the camera's files, the browser's merged menus, toolbar buttons and status texts.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <memory>
#include "base/ComObject.h"
#include "base/Raii.h"
#include "camera/CameraConnectionUse.h"
#include "items/ItemCopies.h"
#include "items/ItemIdManager.h"
#include "items/ItemTypeCache.h"
#include "transfer/ItemView.h"
#include "transfer/ViewOperation.h"

class ViewDropTarget;

// The view window's class and the list's child id.
extern const char kViewClassName[];  // "LumoraNSClass"
constexpr UINT IDC_LIST = 2000;

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

    // The window procedure of "LumoraNSClass".
    static LRESULT CALLBACK ViewWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    // Merging into the browser.
    void OnActivate(UINT uState);
    void MergeToolbar();
    void UpdateToolbar();
    void UpdateStatusBar(bool fTexts, bool fParts);

    // Commands: every menu item, button, key, context menu and row activation arrives here.
    void ShowItemMenu(int x, int y, bool fDefault, int idCommand);
    // A command of the view chosen through the folder's context menu for its items: carried
    // out as if chosen in the view, on those items. S_OK when it was done; a failure when
    // it was not (E_FAIL while another command of the view runs, E_INVALIDARG for a
    // command on files through a menu made for none).
    HRESULT InvokeMenuCommand(UINT idCommand, UINT cidl, const LPCITEMIDLIST* apidl);
    // The handlers; each answers whether it did what it was asked.
    bool OpenItems(UINT cidl, LPCITEMIDLIST* apidl);
    bool DeleteItems(UINT cidl, LPCITEMIDLIST* apidl);
    BOOL CopyItemsToClipboard(UINT cidl, LPCITEMIDLIST* apidl, UINT fCut);
    HRESULT PasteFromClipboard();
    void SelectAllItems();
    void InvertSelection();
    void SetViewMode(UINT uViewMode);
    void MarkCutItems(LPCITEMIDLIST* apidl, UINT cidl, BOOL fMark) override;
    int FindListItem(LPCITEMIDLIST pidl);
    void RemoveCutRows() override;

    // PC files to the camera, from a CF_HDROP list; a block that is no sound list sends nothing.
    HRESULT UploadFiles(HDROP hDrop) override;
    // The camera name a row shows (13-byte buffer); false when the list has no such row.
    bool GetListItemName(int row, char* name);

    // Where a context menu opens: the message's signed screen position, or for the
    // keyboard's (-1, -1) below the focused row (the list's corner when no row has focus).
    POINT ContextMenuPosition(LPARAM lParam) const;
    // Whether a data object is the one the view placed on the clipboard or is dragging out.
    bool IsOwnData(IDataObject* pData) const override;
    // One command, drag or upload of the view at a time (see ViewOperation).
    bool BeginOperation() override;
    void EndOperation() override;
    // The last Cut or Copy: whether it was a Cut still pending, and its data (not owned).
    UINT CutPending() const { return m_fCutPending; }
    IDataObject* ClipboardData() const { return m_pClipboardData; }
    HWND ListWindow() const { return m_hwndList; }

private:
    explicit CameraView(IShellFolder* folder);
    ~CameraView() override;
    bool Initialize();

    // The window (CameraView.cpp, ViewWindow.cpp).
    static bool RegisterViewClass();
    LRESULT HandleMessage(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    void OnFocusMessage(UINT uMsg, HWND hwndOther);
    void OnCreate();
    void OnSize(int cx, int cy);
    void OnWindowDestroyed();
    void OnViewWindowFocus();
    void OnListFocusLost(HWND hwndFocus);
    bool CreateList();
    void InitColumns();
    void FillList();
    bool AppendRow(LPITEMIDLIST pidl, int index);
    void SortList(int column, int direction);
    void ApplyShellSettings();
    void OnInitMenuPopup(HMENU hmenu);
    void DetachWindow();

    // The list's and the header's notifications (ListNotifications.cpp).
    void OnNotify(const NMHDR* pnmh);
    void OnListNotify(const NMHDR* pnmh);
    void OnHeaderNotify(const NMHDR* pnmh);
    void OnGetDispInfo(NMLVDISPINFOA* pInfo);
    void OnItemChanged(const NMLISTVIEW* pnmlv);
    void OnItemActivate();
    void OnEscape();
    void OnColumnClick(int column);
    void OnEndTrack(const NMHEADERA* pnmh);
    void BeginDrag();

    // Choosing and carrying out commands (ViewCommands.cpp).
    void RunItemMenu(int x, int y, bool fDefault, int idCommand);
    bool CopySelection(ItemCopies* pItems);
    ComPtr<IContextMenu> ContextMenuFor(const ItemCopies& items);
    UINT ContextMenuFlags();
    UINT ChooseCommand(HMENU hmenu, int x, int y, bool fDefault, int idCommand);
    HRESULT RunCommand(UINT idCommand, UINT cidl, LPCITEMIDLIST* apidl);
    void InvokeMenuVerb(IContextMenu* pMenu, UINT idCommand);
    void FinishCommand();

    // The rows and the selection (ListRows.cpp).
    void FreeRowItems();
    void ClearCutMarks();
    int RowCount() const;
    UINT SelectedCount() const;
    LPCITEMIDLIST* CollectSelection(UINT* pcidl);
    LPCITEMIDLIST RowItem(int row) const;
    // Calls visit(row) for the selected rows, or for every row, in list order.
    template <typename Visit> void ForEachRow(bool fSelectedOnly, Visit visit) const
    {
        if (!m_hwndList) return;
        if (!fSelectedOnly) {
            const int count = static_cast<int>(SendMessageA(m_hwndList, LVM_GETITEMCOUNT, 0, 0));
            for (int row = 0; row < count; ++row) visit(row);
            return;
        }
        for (int row = NextSelectedRow(-1); row >= 0; row = NextSelectedRow(row)) visit(row);
    }
    int NextSelectedRow(int row) const
    {
        return static_cast<int>(SendMessageA(m_hwndList, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
    }

    // Menus and status texts (BrowserMerge.cpp).
    void ReplaceSharedMenu(UINT uState);
    void DestroySharedMenu();
    void BuildFileMenu(HMENU hmenu, UINT uState);
    void BuildEditMenu(HMENU hmenu, UINT uState);
    void BuildViewMenu(HMENU hmenu);
    void BuildHelpMenu(HMENU hmenu);
    int AddToolbarBitmap(UINT idBitmap);
    void SetStatusParts();
    void SetStatusTexts();
    ULONGLONG CountedBytes(bool fSelectedOnly) const;
    LRESULT SendToControl(UINT id, UINT uMsg, WPARAM wParam, LPARAM lParam);

    // Fields, destroyed in reverse order.
    HWND m_hwndView = nullptr;
    IDataObject* m_pClipboardData = nullptr;  // not owned: only compared
    UINT m_uState = SVUIA_DEACTIVATE;
    std::unique_ptr<ItemIdManager> m_pIdManager;
    FOLDERSETTINGS m_FolderSettings = {FVM_DETAILS, 0};
    ComPtr<IShellBrowser> m_pShellBrowser;
    HWND m_hwndParent = nullptr;
    HWND m_hwndList = nullptr;
    ComPtr<IShellFolder> m_pFolder;
    UINT m_fCutPending = 0;
    ComPtr<IMalloc> m_pMalloc;
    int m_iSortColumn = -1;
    int m_iSortDirection = 1;
    HACCEL m_hAccel = nullptr;  // a module resource: not destroyed
    HMENU m_hMenu = nullptr;
    CameraConnectionUse m_connection;
    CameraConnection* m_pConnection = nullptr;
    ComPtr<ViewDropTarget> m_pDropTarget;
    std::unique_ptr<ItemTypeCache> m_pTypeCache;  // type names and icons per extension, for one fill
    bool m_fDropRegistered = false;
    bool m_fFilling = false;                // FillList is reading the camera into the list
    bool m_fBusy = false;                   // a command, drag or upload of the view runs
    bool m_fRefreshPending = false;         // a refresh asked for while busy: done at the end
    bool m_fSelectionChangePosted = false;  // toolbar and status follow the selection soon
};

// The command of a view mode's menu item and button: Details for every mode it does not know.
UINT ViewModeCommand(UINT viewMode);
// The list's style for a view mode; the icon view for every mode it does not know.
DWORD ListStyleForMode(UINT viewMode);
// Posted to the view window when the selection changed: toolbar and status texts follow
// once a burst of changes is over.
UINT ViewSelectionChangedMessage();

// The view kept by a "LumoraNSClass" window, with one reference added; null for any other window.
CameraView* ViewFromWindow(HWND hwnd);
