// The context menu of the folder's items: its verbs, and the view commands it hands to the view.
#include "folder/ItemContextMenu.h"
#include "folder/FolderObjects.h"
#include <new>
#include <shlwapi.h>
#include "base/TextHelpers.h"
#include "resources/resource.h"

namespace {

// The commands that have a verb; the table ends at id -1.
struct VerbEntry {
    char szName[64];
    INT32 id;
};

const VerbEntry g_verbs[] = {
    {"open", IDM_OPEN},
    {"delete", IDM_DELETE},
    {"copy", IDM_COPY},
    {"cut", IDM_CUT},
    {"paste", IDM_PASTE},
    {"", -1},
};

// The verb of a command offset, or null when the offset has none.
const char* FindVerbById(UINT_PTR idCmd)
{
    if (!IS_INTRESOURCE(idCmd)) return nullptr;
    for (const VerbEntry* verb = g_verbs; verb->id != -1; ++verb)
        if (static_cast<UINT_PTR>(verb->id) == idCmd) return verb->szName;
    return nullptr;
}

// The command of a verb, compared without regard to case; -1 when it has none.
int FindIdByVerb(const char* name)
{
    for (const VerbEntry* verb = g_verbs; verb->id != -1; ++verb)
        if (lstrcmpiA(verb->szName, name) == 0) return verb->id;
    return -1;
}

// Inserts a text item from the string table, by position.
void InsertTextItem(HMENU hmenu, UINT position, UINT stringId, UINT id, UINT state)
{
    char text[MAX_PATH] = "";
    LoadStringA(g_hinstModule, stringId, text, MAX_PATH);
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_TYPE | MIIM_STATE | MIIM_ID;
    info.fType = MFT_STRING;
    info.fState = state;
    info.wID = id;
    info.dwTypeData = text;
    InsertMenuItemA(hmenu, position, TRUE, &info);
}

// Inserts a separator, by position.
void InsertSeparator(HMENU hmenu, UINT position)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_TYPE | MIIM_ID;
    info.fType = MFT_SEPARATOR;
    info.wID = 0;
    InsertMenuItemA(hmenu, position, TRUE, &info);
}

// Past the last item of the menu.
UINT EndOfMenu(HMENU hmenu)
{
    const int count = GetMenuItemCount(hmenu);
    return count > 0 ? static_cast<UINT>(count) : 0;
}

constexpr HRESULT kOffsetsTaken = MAKE_HRESULT(SEVERITY_SUCCESS, 0, IDM_PASTE + 1);

}  // namespace

bool IsViewCommand(UINT idCommand)
{
    return (idCommand >= IDM_OPEN && idCommand <= IDM_VIEW_THUMBNAILS) || idCommand == IDM_ABOUT || idCommand == IDM_PASTE;
}

ItemContextMenu* ItemContextMenu::Create(const LPCITEMIDLIST* apidl, UINT cidl)
{
    auto* menu = new (std::nothrow) ItemContextMenu();
    if (!menu) return nullptr;
    if (!menu->Initialize(apidl, cidl)) {
        menu->Release();
        return nullptr;
    }
    return menu;
}

// Takes the allocator and the manager, then copies the items.
bool ItemContextMenu::Initialize(const LPCITEMIDLIST* apidl, UINT cidl)
{
    if (FAILED(SHGetMalloc(&m_pMalloc)) || !m_pMalloc) return false;
    m_pIdManager = ItemIdManager::Create();
    if (!m_pIdManager) return false;
    m_fBackground = (cidl == 0);
    m_items.emplace(m_pMalloc.Get(), m_pIdManager.get());
    if (m_fBackground) return true;
    // Every item must be there and copied: a menu for fewer files than asked is none.
    return apidl && m_items->Assign(apidl, cidl) && m_items->CountPresent() == cidl;
}

// IUnknown and IContextMenu: the object itself.
const QITAB* ItemContextMenu::InterfaceTable()
{
    static const QITAB table[] = {
        QITABENT(ItemContextMenu, IContextMenu),
        {},
    };
    return table;
}

// Fills the menu: the default item only, the items' commands, or the background's.
IFACEMETHODIMP ItemContextMenu::QueryContextMenu(HMENU hmenu, UINT indexMenu, UINT idCmdFirst, UINT, UINT uFlags)
{
    if (uFlags & CMF_DEFAULTONLY)
        InsertTextItem(hmenu, indexMenu, IDS_MENU_OPEN, idCmdFirst + IDM_OPEN, MFS_DEFAULT);
    else if (!m_fBackground)
        FillItemMenu(hmenu, indexMenu, idCmdFirst);
    else
        FillBackgroundMenu(hmenu, indexMenu);
    return kOffsetsTaken;
}

// Open (default), Copy, Cut and Delete, from the given position on.
void ItemContextMenu::FillItemMenu(HMENU hmenu, UINT position, UINT idCmdFirst)
{
    InsertTextItem(hmenu, position, IDS_MENU_OPEN, idCmdFirst + IDM_OPEN, MFS_DEFAULT);
    InsertSeparator(hmenu, position + 1);
    InsertTextItem(hmenu, position + 2, IDS_MENU_COPY, idCmdFirst + IDM_COPY, 0);
    InsertTextItem(hmenu, position + 3, IDS_MENU_CUT, idCmdFirst + IDM_CUT, 0);
    InsertSeparator(hmenu, position + 4);
    InsertTextItem(hmenu, position + 5, IDS_MENU_DELETE, idCmdFirst + IDM_DELETE, 0);
}

// Paste when files are on the clipboard, then the five view modes at the menu's end.
// The background's ids are the view's commands themselves, without the first id.
void ItemContextMenu::FillBackgroundMenu(HMENU hmenu, UINT position)
{
    if (IsClipboardFormatAvailable(CF_HDROP)) {
        InsertTextItem(hmenu, position, IDS_MENU_PASTE, IDM_PASTE, 0);
        InsertSeparator(hmenu, position + 1);
    }
    static const UINT viewItems[][2] = {
        {IDS_MENU_LARGEICONS, IDM_VIEW_LARGEICONS},
        {IDS_MENU_SMALLICONS, IDM_VIEW_SMALLICONS},
        {IDS_MENU_LIST, IDM_VIEW_LIST},
        {IDS_MENU_DETAILS, IDM_VIEW_DETAILS},
        {IDS_MENU_THUMBNAILS, IDM_VIEW_THUMBNAILS},
    };
    for (const auto& item : viewItems) InsertTextItem(hmenu, EndOfMenu(hmenu), item[0], item[1], 0);
}

// Turns a verb into its offset (written back into the caller's information) and hands the
// command to the camera view whose window invokes the menu, to be carried out on this
// menu's items. An offset that is no command of the view is refused, so the ids the view
// itself hands here never go back; without a view of this thread nothing is done (E_FAIL).
IFACEMETHODIMP ItemContextMenu::InvokeCommand(CMINVOKECOMMANDINFO* pici)
{
    if (!pici || pici->cbSize < sizeof(CMINVOKECOMMANDINFO)) return E_INVALIDARG;
    if (!IS_INTRESOURCE(pici->lpVerb)) {
        const int id = FindIdByVerb(pici->lpVerb);
        if (id < 0) return E_INVALIDARG;
        pici->lpVerb = MAKEINTRESOURCEA(id);
    }
    const UINT_PTR id = reinterpret_cast<UINT_PTR>(pici->lpVerb);
    if (id > IDM_PASTE || !IsViewCommand(static_cast<UINT>(id))) return E_INVALIDARG;
    if (!pici->hwnd || GetWindowThreadProcessId(pici->hwnd, nullptr) != GetCurrentThreadId()) return E_FAIL;
    return InvokeViewCommand(pici->hwnd, static_cast<UINT>(id), m_items->Count(), m_items->Items());
}

// Verbs (single-byte or wide), help texts and validation of command offsets.
IFACEMETHODIMP ItemContextMenu::GetCommandString(UINT_PTR idCmd, UINT uType, UINT*, CHAR* pszName, UINT cchMax)
{
    const int capacity = cchMax > INT_MAX ? INT_MAX : static_cast<int>(cchMax);
    switch (uType) {
    case GCS_VERBA:
    case GCS_VERBW: {
        const char* verb = FindVerbById(idCmd);
        if (!verb) return E_INVALIDARG;
        if (uType == GCS_VERBA)
            CopyStringN(pszName, verb, capacity);
        else
            AnsiToWide(reinterpret_cast<wchar_t*>(pszName), verb, capacity);
        return S_OK;
    }
    case GCS_HELPTEXTA:
        return idCmd == 0 ? S_OK : E_INVALIDARG;
    case GCS_VALIDATEA:
        return S_OK;
    default:
        return E_INVALIDARG;
    }
}
