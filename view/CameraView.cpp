// The view object: its life, the IShellView methods and the window it owns.
#include "view/CameraView.h"
#include <new>
#include <utility>
#include "folder/FolderObjects.h"
#include "resources/resource.h"
#include "transfer/ViewDropTarget.h"

const char kViewClassName[] = "LumoraNSClass";

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

CameraView::CameraView(IShellFolder* folder) : m_pFolder(folder), m_pConnection(m_connection.Get()) {}

// The controls, the allocator, the manager, the type names, the drop target and the keys.
bool CameraView::Initialize()
{
    InitCommonControls();
    if (FAILED(SHGetMalloc(&m_pMalloc)) || !m_pMalloc) return false;
    m_pIdManager = ItemIdManager::Create();
    if (!m_pIdManager) return false;
    m_pTypeCache.reset(new (std::nothrow) ItemTypeCache(m_pIdManager.get()));
    if (!m_pTypeCache) return false;
    m_pDropTarget = Adopt(ViewDropTarget::Create(this));
    if (!m_pDropTarget) return false;
    m_hAccel = LoadAcceleratorsA(g_hinstModule, MAKEINTRESOURCEA(IDR_VIEW_ACCELERATORS));
    return true;
}

// A window the browser never asked to destroy goes with the view; the drop target forgets it.
CameraView::~CameraView()
{
    if (m_pDropTarget) m_pDropTarget->DetachView();
    DestroySharedMenu();
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
    if (uState == m_uState) return S_OK;
    OnActivate(uState);
    if (uState != SVUIA_DEACTIVATE) UpdateStatusBar(true, true);
    return S_OK;
}

// Reads the camera again into the list (sorted by name); the buttons and status texts follow.
IFACEMETHODIMP CameraView::Refresh()
{
    if (!m_hwndList || m_fFilling) return S_OK;  // a fill that runs reads the camera anyway
    if (m_fBusy) {
        m_fRefreshPending = true;  // the rows stay valid until the running operation ends
        return S_OK;
    }
    SendMessageA(m_hwndList, LVM_DELETEALLITEMS, 0, 0);
    FillList();
    SendMessageA(m_hwndList, LVM_ARRANGE, LVA_ALIGNTOP, 0);
    UpdateToolbar();
    UpdateStatusBar(true, false);
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
    m_pShellBrowser = psb;
    m_FolderSettings = *pfs;
    m_hwndParent = nullptr;
    psb->GetWindow(&m_hwndParent);
    CreateWindowExA(WS_EX_ACCEPTFILES, kViewClassName, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                    prcView->left, prcView->top, prcView->right - prcView->left, prcView->bottom - prcView->top,
                    m_hwndParent, nullptr, g_hinstModule, this);
    if (!m_hwndView) {
        m_pShellBrowser.Reset();
        return E_FAIL;
    }
    *phWnd = m_hwndView;
    MergeToolbar();
    m_fDropRegistered = SUCCEEDED(RegisterDragDrop(m_hwndView, m_pDropTarget.Get()));
    return S_OK;
}

// Deactivates, gives the shared menu back, destroys the window and lets the browser go.
IFACEMETHODIMP CameraView::DestroyViewWindow()
{
    UIActivate(SVUIA_DEACTIVATE);
    DestroySharedMenu();
    DetachWindow();
    m_pShellBrowser.Reset();
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
    MallocPtr<LPCITEMIDLIST> selection(m_pMalloc.Get(), CollectSelection(&cidl));
    if (cidl == 0) return E_FAIL;
    if (!selection) return E_OUTOFMEMORY;
    return m_pFolder->GetUIObjectOf(m_hwndView, cidl, selection.Get(), riid, nullptr, ppv);
}

// Whether the object is the view's own clipboard or drag data.
bool CameraView::IsOwnData(IDataObject* pData) const
{
    return pData && pData == m_pClipboardData;
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
    FreeRowItems();
    if (std::exchange(m_fDropRegistered, false)) RevokeDragDrop(hwnd);
    m_hwndList = nullptr;
    DestroyWindow(hwnd);
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

// A refresh asked for meanwhile runs now.
void CameraView::EndOperation()
{
    m_fBusy = false;
    if (std::exchange(m_fRefreshPending, false)) Refresh();
}
