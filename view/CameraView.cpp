// The camera folder's view: the IShellView object the browser embeds, its window and the window's messages.
#include "view/CameraView.h"
#include <new>
#include <utility>
#include "folder/CameraFolder.h"
#include "folder/FolderObjects.h"
#include "resources/resource.h"
#include "transfer/ViewDropTarget.h"

const char kViewClassName[] = "LumoraNSClass";

namespace {
// A refresh asked for inside a unit of camera work on the window's thread is tried again this
// often until the unit has ended.
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshRetryMs = 50;
// A reading's rows are taken at most this often: each take lays out and paints the list once,
// and the window stays free for its other messages in between.
constexpr UINT_PTR kRowsTimer = 2;
constexpr ULONGLONG kRowsIntervalMs = 150;
}  // namespace

namespace {
INIT_ONCE g_viewClassOnce = INIT_ONCE_STATIC_INIT;

// INIT_ONCE callback: registers "LumoraNSClass" for the module, unless it is there already.
BOOL CALLBACK RegisterViewClassOnce(PINIT_ONCE, PVOID, PVOID*)
{
    WNDCLASSA existing = {};
    if (GetClassInfoA(g_hinstModule, kViewClassName, &existing)) return TRUE;
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = CameraView::ViewWndProc;
    wc.hInstance = g_hinstModule;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kViewClassName;
    return RegisterClassA(&wc) != 0;
}

// Whether hwnd is the window or one of its descendants.
bool IsWithin(HWND window, HWND hwnd)
{
    return hwnd && (hwnd == window || IsChild(window, hwnd));
}
}  // namespace

CameraView* CameraView::Create(IShellFolder* folder)
{
    auto* view = new (std::nothrow) CameraView(folder);
    if (!view) return nullptr;
    if (!view->Initialize()) {
        view->Release();
        return nullptr;
    }
    return view;
}

IShellView* CreateCameraView(IShellFolder* folder)
{
    return CameraView::Create(folder);
}

HRESULT InvokeViewCommand(HWND hwnd, UINT idCommand, UINT cidl, const LPCITEMIDLIST* apidl)
{
    ComPtr<CameraView> view = Adopt(ViewFromWindow(hwnd));
    if (!view) return E_FAIL;
    return view->InvokeMenuCommand(idCommand, cidl, apidl);
}

CameraView::CameraView(IShellFolder* folder)
    : m_pFolder(folder),
      m_rows(folder),
      m_merge(*this, m_rows, m_connection.Get()),
      m_commands(*this, m_rows, m_merge, folder, m_connection.Get()),
      m_notifications(*this, m_rows, m_commands),
      m_thumbnails(*this, m_rows)
{
}

// The controls, the allocator, the manager, the type names, the drop target and the keys.
bool CameraView::Initialize()
{
    InitCommonControls();
    if (!m_rows.Initialize()) return false;
    m_pDropTarget = Adopt(ViewDropTarget::Create(this));
    if (!m_pDropTarget) return false;
    m_hAccel = LoadAcceleratorsA(g_hinstModule, MAKEINTRESOURCEA(IDR_VIEW_ACCELERATORS));
    return true;
}

// A window the browser never asked to destroy goes with the view; the drop target forgets it.
CameraView::~CameraView()
{
    if (m_pDropTarget) m_pDropTarget->DetachView();
    m_merge.DestroySharedMenu();
    DetachWindow();
}

// IUnknown, IOleWindow and IShellView: the object itself.
const QITAB* CameraView::InterfaceTable()
{
    static const QITAB table[] = {
        QITABENT(CameraView, IShellView),
        QITABENTMULTI(CameraView, IOleWindow, IShellView),
        {},
    };
    return table;
}

// The view window.
IFACEMETHODIMP CameraView::GetWindow(HWND* phwnd)
{
    if (!phwnd) return E_POINTER;
    *phwnd = m_hwndView;
    return S_OK;
}

// Not provided.
IFACEMETHODIMP CameraView::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

// The view's keys, for messages aimed at the view window or one of its children only:
// a Delete typed into the browser's address box must not delete camera files.
IFACEMETHODIMP CameraView::TranslateAccelerator(MSG* pmsg)
{
    if (!pmsg || !m_hwndView || !m_hAccel) return S_FALSE;
    if (pmsg->hwnd != m_hwndView && !IsChild(m_hwndView, pmsg->hwnd)) return S_FALSE;
    return ::TranslateAcceleratorA(m_hwndView, m_hAccel, pmsg) ? S_OK : S_FALSE;
}

// Not provided.
IFACEMETHODIMP CameraView::EnableModeless(BOOL)
{
    return E_NOTIMPL;
}

// A new activation state from the browser: menus, buttons and all status bar parts.
IFACEMETHODIMP CameraView::UIActivate(UINT uState)
{
    if (uState == m_merge.State()) return S_OK;
    m_merge.OnActivate(uState);
    if (uState != SVUIA_DEACTIVATE) m_merge.UpdateStatusBar(true, true);
    return S_OK;
}

// Reads the camera again into the list (sorted by name), stopping a reading that runs; the rows
// come as they are read. The buttons and status texts follow.
IFACEMETHODIMP CameraView::Refresh()
{
    if (!m_rows.ListWindow()) return S_OK;
    if (m_fBusy) {
        m_fRefreshPending = true;  // the rows stay valid until the running operation ends
        return S_OK;
    }
    // Inside a unit of camera work on this thread the reading waits for the unit's end.
    if (m_connection.Get() && m_connection.Get()->IsHeldByThisThread()) {
        m_fRefreshScheduled = SetTimer(m_hwndView, kRefreshTimer, kRefreshRetryMs, nullptr) != 0;
        return S_OK;
    }
    m_pListing.reset();
    m_rows.DeleteAllRows();
    StartListing();
    m_rows.Arrange();
    m_merge.UpdateToolbar();
    m_merge.UpdateStatusBar(true, false);
    return S_OK;
}

// Creates the view window (which fills the list), merges the buttons, registers the drop target.
IFACEMETHODIMP CameraView::CreateViewWindow(IShellView*, LPCFOLDERSETTINGS pfs, IShellBrowser* psb, RECT* prcView,
                                            HWND* phWnd)
{
    if (!phWnd) return E_POINTER;
    *phWnd = nullptr;
    if (!pfs || !psb || !prcView) return E_INVALIDARG;
    if (m_hwndView) return E_UNEXPECTED;
    if (!RegisterViewClass()) return E_FAIL;
    m_FolderSettings = *pfs;
    const HWND parent = m_merge.Attach(psb);
    CreateWindowExA(WS_EX_ACCEPTFILES, kViewClassName, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                    prcView->left, prcView->top, prcView->right - prcView->left, prcView->bottom - prcView->top,
                    parent, nullptr, g_hinstModule, this);
    if (!m_hwndView) {
        m_merge.Detach();
        return E_FAIL;
    }
    *phWnd = m_hwndView;
    m_merge.MergeToolbar();
    m_fDropRegistered = SUCCEEDED(RegisterDragDrop(m_hwndView, m_pDropTarget.Get()));
    return S_OK;
}

// Deactivates, gives the shared menu back, destroys the window and lets the browser go.
IFACEMETHODIMP CameraView::DestroyViewWindow()
{
    UIActivate(SVUIA_DEACTIVATE);
    m_merge.DestroySharedMenu();
    DetachWindow();
    m_merge.Detach();
    return S_OK;
}

// The view mode and flags, which the browser keeps.
IFACEMETHODIMP CameraView::GetCurrentInfo(LPFOLDERSETTINGS pfs)
{
    if (!pfs) return E_POINTER;
    *pfs = m_FolderSettings;
    return S_OK;
}

// Not provided.
IFACEMETHODIMP CameraView::AddPropertySheetPages(DWORD, LPFNSVADDPROPSHEETPAGE, LPARAM)
{
    return E_NOTIMPL;
}

// Nothing to keep: the browser keeps the view mode.
IFACEMETHODIMP CameraView::SaveViewState()
{
    return S_OK;
}

// Not provided.
IFACEMETHODIMP CameraView::SelectItem(LPCITEMIDLIST, SVSIF)
{
    return E_NOTIMPL;
}

// The folder's object for the selected rows; nothing selected or no memory is a failure
// with a null out pointer.
IFACEMETHODIMP CameraView::GetItemObject(UINT uItem, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if ((uItem & SVGIO_TYPE_MASK) != SVGIO_SELECTION) return E_NOTIMPL;
    UINT cidl = 0;
    MallocPtr<LPCITEMIDLIST> selection(m_rows.Malloc(), m_rows.CollectSelection(&cidl));
    if (cidl == 0) return E_FAIL;
    if (!selection) return E_OUTOFMEMORY;
    return m_pFolder->GetUIObjectOf(m_hwndView, cidl, selection.Get(), riid, nullptr, ppv);
}

// Registers "LumoraNSClass" once in the module. Camera windows of two threads can be made at
// the same time: the second waits until the first has registered the class, where both
// registering would refuse one of them and its view would get no window.
bool CameraView::RegisterViewClass()
{
    return InitOnceExecuteOnce(&g_viewClassOnce, RegisterViewClassOnce, nullptr, nullptr) != FALSE;
}

// Nothing of the view runs while its window goes: the window forgets the view, the rows'
// identifiers are freed, the drop registration is withdrawn and the window destroyed.
void CameraView::DetachWindow()
{
    const HWND hwnd = std::exchange(m_hwndView, nullptr);
    if (!hwnd) return;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    DetachItemView(hwnd);
    StopCameraWork(hwnd);
    m_rows.FreeRowItems();
    if (std::exchange(m_fDropRegistered, false)) RevokeDragDrop(hwnd);
    m_rows.ForgetList();
    DestroyWindow(hwnd);
}

// The camera work of the window stops: its reading and its pictures at once, a transfer it
// runs at its next check (the transfer's worker ends with it).
void CameraView::StopCameraWork(HWND hwnd)
{
    m_pListing.reset();
    m_thumbnails.Stop();
    if (m_connection.Get()) m_connection.Get()->CancelWorkOf(hwnd);
}

UINT ViewSelectionChangedMessage()
{
    static const UINT message = RegisterWindowMessageA("Lumora.ViewSelectionChanged");
    return message;
}

// Finds the view in the window's user data and lets it handle the message, holding a
// reference so that a browser releasing the view meanwhile cannot pull it away.
LRESULT CALLBACK CameraView::ViewWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_NCCREATE) {
        auto* view = static_cast<CameraView*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (view) {
            view->m_hwndView = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
            AttachItemView(hwnd, view);
        }
        return DefWindowProcA(hwnd, uMsg, wParam, lParam);
    }
    auto* view = reinterpret_cast<CameraView*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!view) return DefWindowProcA(hwnd, uMsg, wParam, lParam);
    ComPtr<CameraView> hold(view);
    return view->HandleMessage(hwnd, uMsg, wParam, lParam);
}

// The view window's messages.
LRESULT CameraView::HandleMessage(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_DESTROY: OnWindowDestroyed(); return 0;
    case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_ACTIVATE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS: OnFocusMessage(uMsg, reinterpret_cast<HWND>(wParam)); return 0;
    case WM_SETTINGCHANGE:
        if (lParam && lstrcmpiA(reinterpret_cast<const char*>(lParam), "ShellState") == 0) m_rows.ApplyShellSettings();
        return 0;
    case WM_NOTIFY: m_notifications.OnNotify(reinterpret_cast<const NMHDR*>(lParam)); return 0;
    case WM_CONTEXTMENU: {
        const POINT pt = m_rows.ContextMenuPosition(lParam);
        m_commands.ShowItemMenu(pt.x, pt.y, false, -1);
        return 0;
    }
    case WM_COMMAND: m_commands.ShowItemMenu(0, 0, false, LOWORD(wParam)); return 0;
    case WM_INITMENUPOPUP: m_merge.OnInitMenuPopup(reinterpret_cast<HMENU>(wParam)); return 0;
    case WM_TIMER:
        if (wParam == kRowsTimer) {
            KillTimer(hwnd, kRowsTimer);
            if (m_pListing) OnListingNews(m_pListing->Id());
            return 0;
        }
        if (wParam != kRefreshTimer) break;
        KillTimer(hwnd, kRefreshTimer);
        m_fRefreshScheduled = false;
        Refresh();
        return 0;
    }
    if (uMsg == CameraRefreshMessage()) {
        Refresh();
        return 0;
    }
    if (uMsg == ListingJob::ListingMessage()) {
        OnListingNews(lParam);
        return 0;
    }
    if (uMsg == ViewSelectionChangedMessage()) {
        OnSelectionChanged();
        return 0;
    }
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

// Focus: the list takes the view window's focus; focus leaving the view makes it inactive.
void CameraView::OnFocusMessage(UINT uMsg, HWND hwndOther)
{
    if (uMsg == WM_ACTIVATE) {
        m_merge.OnActivate(SVUIA_ACTIVATE_FOCUS);
    } else if (uMsg == WM_SETFOCUS) {
        if (m_rows.ListWindow()) SetFocus(m_rows.ListWindow());  // the list's NM_SETFOCUS activates the view
        else OnViewWindowFocus();
    } else if (!IsWithin(m_hwndView, hwndOther)) {
        m_merge.OnActivate(SVUIA_ACTIVATE_NOFOCUS);
    }
}

// Focus gone from the list to another control of the browser: the view is inactive and the
// camera link closes. Focus within the view, in a window of its own (a connect dialog, a
// message) or in another program changes nothing.
void CameraView::OnListFocusLost(HWND hwndFocus)
{
    if (!hwndFocus || IsWithin(m_hwndView, hwndFocus)) return;
    if (IsWithin(GetAncestor(m_hwndView, GA_ROOT), hwndFocus)) m_merge.OnActivate(SVUIA_DEACTIVATE);
}

// The view (or its list) has the focus: the browser hears of it and the view is active with focus.
void CameraView::OnViewWindowFocus()
{
    m_merge.NotifyViewActive();
    m_merge.OnActivate(SVUIA_ACTIVATE_FOCUS);
}

// Creates the list and starts reading the camera into it; the window stays (empty) when the
// list cannot be made.
void CameraView::OnCreate()
{
    if (!m_rows.CreateList(m_hwndView, m_FolderSettings)) return;
    m_rows.InitColumns(m_hwndView);
    m_thumbnails.SetShown(m_FolderSettings.ViewMode == FVM_THUMBNAIL);
    StartListing();
}

// A worker reads the camera; its rows arrive as news (OnListingNews).
void CameraView::StartListing()
{
    m_rows.BeginFill();
    m_lastRowsTick = 0;  // the first rows go in at once
    m_pListing = ListingJob::Start(m_hwndView);
}

// Rows were read, or the reading ended: the rows go into the list (rows that come soon after a
// take wait for the rows timer), the status bar says how far. News of a reading that was
// stopped is old news.
void CameraView::OnListingNews(LPARAM id)
{
    if (!m_pListing || m_pListing->Id() != id) return;
    const bool done = m_pListing->IsDone();  // every row came before the end
    const ULONGLONG sinceLast = GetTickCount64() - m_lastRowsTick;
    if (!done && sinceLast < kRowsIntervalMs) {
        SetTimer(m_hwndView, kRowsTimer, static_cast<UINT>(kRowsIntervalMs - sinceLast), nullptr);
        return;
    }
    m_lastRowsTick = GetTickCount64();
    m_rows.AddRows(m_pListing->TakeRows());
    m_rows.Arrange();
    if (done) FinishListing();
    m_merge.UpdateStatusBar(true, false);
}

// The reading ended: its worker is gone, the buttons follow the rows, the pictures come.
void CameraView::FinishListing()
{
    m_pListing.reset();
    m_merge.UpdateToolbar();
    m_thumbnails.OnRowsChanged();
}

// Files read and listed while the camera is read; false when it is not.
bool CameraView::GetListingProgress(UINT* read, UINT* listed) const
{
    if (!m_pListing) return false;
    m_pListing->GetProgress(read, listed);
    return true;
}

// The list fills the window; the status bar's parts follow the width.
void CameraView::OnSize(int cx, int cy)
{
    if (!m_rows.ListWindow()) return;
    MoveWindow(m_rows.ListWindow(), 0, 0, cx, cy, TRUE);
    m_merge.UpdateStatusBar(false, true);
}

// The window is going (also when the browser's window goes first): a reading or transfer of
// the camera stops, the rows' identifiers are freed and the drop registration withdrawn.
void CameraView::OnWindowDestroyed()
{
    StopCameraWork(m_hwndView);
    m_rows.FreeRowItems();
    if (std::exchange(m_fDropRegistered, false)) RevokeDragDrop(m_hwndView);
    SetWindowLongPtrA(m_hwndView, GWLP_USERDATA, 0);
    DetachItemView(m_hwndView);
    m_hwndView = nullptr;
    m_rows.ForgetList();
}

// The selection changed a while ago: the toolbar and the status texts follow.
void CameraView::OnSelectionChanged()
{
    m_fSelectionChangePosted = false;
    m_merge.UpdateToolbar();
    m_merge.UpdateStatusBar(true, false);
}

// The toolbar and the status texts follow the selection once the burst of changes is over.
void CameraView::PostSelectionChanged()
{
    if (m_fSelectionChangePosted) return;
    m_fSelectionChangePosted = PostMessageA(m_hwndView, ViewSelectionChangedMessage(), 0, 0) != FALSE;
}

CameraView* ViewFromWindow(HWND hwnd)
{
    char className[sizeof(kViewClassName) + 1] = "";
    if (!hwnd || !GetClassNameA(hwnd, className, sizeof(className))) return nullptr;
    if (lstrcmpA(className, kViewClassName) != 0) return nullptr;
    // The class's procedure, not the window's: a window somebody subclassed stays a view.
    if (reinterpret_cast<WNDPROC>(GetClassLongPtrA(hwnd, GCLP_WNDPROC)) != CameraView::ViewWndProc) return nullptr;
    auto* view = reinterpret_cast<CameraView*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (view) view->AddRef();
    return view;
}

// Refused while another operation of the view runs.
bool CameraView::BeginOperation()
{
    if (m_fBusy) return false;
    m_fBusy = true;
    return true;
}

// A refresh asked for meanwhile runs now; otherwise the pictures go on.
void CameraView::EndOperation()
{
    m_fBusy = false;
    if (std::exchange(m_fRefreshPending, false)) Refresh();
    else m_thumbnails.OnRowsChanged();
}
