#include "host/HostMenus.h"
#include <algorithm>
#include "base/Raii.h"

namespace {

// OLE menu groups the host fills (the object's groups are 1, 3 and 5).
constexpr int kFileGroup = 0;
constexpr int kContainerGroup = 2;
constexpr int kWindowGroup = 4;

// One row of the host's menu bar: a popup (with its OLE group) or an item of the popup
// above it; an item without text is a separator.
struct MenuRow {
    bool fPopup;
    UINT id;
    const char* text;
    int group;
};

const MenuRow kHostMenu[] = {
    {true, FCIDM_MENU_FILE, "&File", kFileGroup},
    {false, IDM_HOST_CLOSE, "&Close\tCtrl+W", 0},
    {true, FCIDM_MENU_EDIT, "&Edit", kContainerGroup},
    {false, IDM_HOST_FOCUSADDRESS, "Go to &Address\tAlt+D", 0},
    {true, FCIDM_MENU_VIEW, "&View", kContainerGroup},
    {false, IDM_HOST_UP, "&Up One Level", 0},
    {false, FCIDM_MENU_VIEW_SEP_OPTIONS, nullptr, 0},
    {false, IDM_HOST_REFRESH, "&Refresh\tF5", 0},
    {true, FCIDM_MENU_HELP, "&Help", kWindowGroup},
    {false, IDM_HOST_ABOUT, "&About Lumora Host", 0},
};

// The item of id FCIDM_MENU_HELP that tests may ask for, first in the Help popup.
const MenuRow kHelpTopicsItem = {false, FCIDM_MENU_HELP, "Help &Topics", 0};

// The OLE group of a host popup.
int GroupOf(UINT popupId)
{
    for (const auto& row : kHostMenu) {
        if (row.fPopup && row.id == popupId) return row.group;
    }
    return kContainerGroup;
}

// Inserts one item (text or separator, or a popup when hSubMenu is set) at a position.
bool InsertEntry(HMENU menu, UINT position, const MenuEntry& entry)
{
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE;
    mii.wID = entry.id;
    mii.fState = entry.state;
    mii.fType = entry.type;
    if (!entry.IsSeparator()) {
        mii.fMask |= MIIM_STRING;
        mii.dwTypeData = const_cast<char*>(entry.text.c_str());
    }
    if (entry.hSubMenu) {
        mii.fMask |= MIIM_SUBMENU;
        mii.hSubMenu = entry.hSubMenu;
    }
    return InsertMenuItemA(menu, position, TRUE, &mii) != FALSE;
}

// Appends a row of the host's menu (with its popup when hSubMenu is set).
bool AppendRow(HMENU menu, const MenuRow& row, HMENU hSubMenu)
{
    MenuEntry entry;
    entry.id = row.id;
    entry.type = row.text ? MFT_STRING : MFT_SEPARATOR;
    entry.text = row.text ? row.text : "";
    entry.hSubMenu = hSubMenu;
    return InsertEntry(menu, static_cast<UINT>(GetMenuItemCount(menu)), entry);
}

// A new popup that the bar owns once it is appended; null when it could not be made.
HMENU AppendPopup(HMENU bar, const MenuRow& row)
{
    MenuHandle popup(CreatePopupMenu());
    if (!popup || !AppendRow(bar, row, popup.Get())) return nullptr;
    return popup.Release();
}

// A deep copy of a popup, owned by the caller.
HMENU DuplicatePopup(HMENU source)
{
    MenuHandle copy(CreatePopupMenu());
    if (!copy) return nullptr;
    for (MenuEntry entry : ReadMenuEntries(source)) {
        MenuHandle subCopy;
        if (entry.hSubMenu) {
            subCopy.Reset(DuplicatePopup(entry.hSubMenu));
            if (!subCopy) return nullptr;
            entry.hSubMenu = subCopy.Get();
        }
        if (!InsertEntry(copy.Get(), static_cast<UINT>(GetMenuItemCount(copy.Get())), entry)) return nullptr;
        subCopy.Release();  // the copy owns it now
    }
    return copy.Release();
}

}  // namespace

HMENU CreateHostMenuBar(bool fHelpItem)
{
    MenuHandle bar(CreateMenu());
    if (!bar) return nullptr;
    HMENU popup = nullptr;
    for (const auto& row : kHostMenu) {
        if (row.fPopup) {
            popup = AppendPopup(bar.Get(), row);
            if (!popup) return nullptr;
            if (row.id == FCIDM_MENU_HELP && fHelpItem && !AppendRow(popup, kHelpTopicsItem, nullptr)) return nullptr;
        } else if (!AppendRow(popup, row, nullptr)) {
            return nullptr;
        }
    }
    return bar.Release();
}

HRESULT InsertHostPopups(HMENU hostBar, HMENU shared, OLEMENUGROUPWIDTHS* widths, std::vector<HMENU>* pCopies)
{
    if (!hostBar || !shared || !IsMenu(shared)) return E_INVALIDARG;
    if (!widths || !pCopies) return E_POINTER;
    widths->width[kFileGroup] = widths->width[kContainerGroup] = widths->width[kWindowGroup] = 0;
    for (const MenuPopup& popup : ReadMenuBar(hostBar)) {
        MenuHandle copy(DuplicatePopup(popup.hMenu));
        if (!copy) return E_OUTOFMEMORY;
        const int group = GroupOf(popup.id);
        UINT position = 0;  // the end of the popup's group
        for (int g = 0; g <= group; ++g) position += static_cast<UINT>(widths->width[g]);
        MenuEntry entry;
        entry.text = popup.text;
        entry.id = popup.id;
        entry.type = MFT_STRING;
        entry.hSubMenu = copy.Get();
        if (!InsertEntry(shared, position, entry)) return E_FAIL;
        pCopies->push_back(copy.Release());
        widths->width[group]++;
    }
    return S_OK;
}

void RemoveHostPopups(HMENU shared, std::vector<HMENU>* pCopies)
{
    for (int position = GetMenuItemCount(shared) - 1; position >= 0; --position) {
        HMENU popup = GetSubMenu(shared, position);
        auto copy = std::find(pCopies->begin(), pCopies->end(), popup);
        if (!popup || copy == pCopies->end()) continue;
        RemoveMenu(shared, static_cast<UINT>(position), MF_BYPOSITION);
        DestroyMenu(popup);
        pCopies->erase(copy);
    }
}

std::vector<MenuEntry> ReadMenuEntries(HMENU menu)
{
    std::vector<MenuEntry> entries;
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int position = 0; position < count; ++position) {
        char text[260] = "";
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
        mii.dwTypeData = text;
        mii.cch = sizeof(text);
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &mii)) continue;
        MenuEntry entry;
        entry.text = (mii.fType & MFT_SEPARATOR) ? "" : text;
        entry.id = mii.wID;
        entry.state = mii.fState;
        entry.type = mii.fType;
        entry.hSubMenu = mii.hSubMenu;
        entries.push_back(entry);
    }
    return entries;
}

std::vector<MenuPopup> ReadMenuBar(HMENU bar)
{
    std::vector<MenuPopup> popups;
    for (const MenuEntry& entry : ReadMenuEntries(bar)) {
        popups.push_back({entry.text, entry.id, entry.hSubMenu, ReadMenuEntries(entry.hSubMenu)});
    }
    return popups;
}
