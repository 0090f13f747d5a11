// The host's own menu bar and the OLE menu merging it offers a view.
//
// The bar holds four popups whose items carry the browser's ids FCIDM_MENU_FILE,
// FCIDM_MENU_EDIT, FCIDM_MENU_VIEW (with the separator FCIDM_MENU_VIEW_SEP_OPTIONS inside)
// and FCIDM_MENU_HELP, each with a few items of the host's own. A view's shared menu gets
// copies of these popups (a view adds its items to them and destroys the shared menu at
// the end); the host's own popups are never lent out, so they stay as they are.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>
#include <string>
#include <vector>

// The host's commands: in the browser's range, so that the view's range (0 to 0x7FFF)
// goes on to the view window.
enum HostCommand : UINT {
    IDM_HOST_CLOSE = FCIDM_BROWSERFIRST + 0x10,
    IDM_HOST_FOCUSADDRESS,
    IDM_HOST_UP,
    IDM_HOST_REFRESH,
    IDM_HOST_ABOUT,
    IDM_HOST_NEXTPANE,
    IDM_HOST_BROWSEPENDING,  // posted by BrowseObject: go where the view asked
};

// One item of a menu as the platform reports it.
struct MenuEntry {
    std::string text;  // empty for separators
    UINT id = 0;
    UINT state = 0;  // MFS_* flags
    UINT type = 0;   // MFT_* flags
    HMENU hSubMenu = nullptr;

    bool IsSeparator() const { return (type & MFT_SEPARATOR) != 0; }
    bool operator==(const MenuEntry&) const = default;
};

// One popup of a menu bar with its items.
struct MenuPopup {
    std::string text;
    UINT id = 0;
    HMENU hMenu = nullptr;
    std::vector<MenuEntry> items;

    bool operator==(const MenuPopup&) const = default;
};

// The host's menu bar; with fHelpItem the Help popup also holds an item of id FCIDM_MENU_HELP.
HMENU CreateHostMenuBar(bool fHelpItem);

// Puts copies of the host bar's popups into a shared menu by the OLE rules: File in the
// File group, Edit and View in the Container group, Help in the Window group, each group
// placed after the groups before it (the object's groups counted from the widths given)
// and its width filled in. The copies are added to *pCopies.
HRESULT InsertHostPopups(HMENU hostBar, HMENU shared, OLEMENUGROUPWIDTHS* widths, std::vector<HMENU>* pCopies);

// Takes the copies out of the shared menu and destroys them; other items stay.
void RemoveHostPopups(HMENU shared, std::vector<HMENU>* pCopies);

// Readers: the items of a menu, and a menu bar's popups with their items.
std::vector<MenuEntry> ReadMenuEntries(HMENU menu);
std::vector<MenuPopup> ReadMenuBar(HMENU bar);
