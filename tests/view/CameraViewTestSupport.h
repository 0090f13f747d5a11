// The camera view in the host's browser, as the view tests drive it: the camera's files,
// a strict browser that fails the test on any call a view has no business making, and
// readers of the list, the merged menus, the buttons and the status texts.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <string>
#include <utility>
#include <vector>
#include "ViewTestSupport.h"
#include "host/HostBrowser.h"
#include "support/CameraLog.h"
#include "support/DialogCapture.h"
#include "view/CameraView.h"

using CameraFiles = std::vector<std::pair<std::string, unsigned>>;  // name, size; the listing's order

// The browser calls a view may make: the window, menus, toolbar, status bar, activation.
extern const std::vector<std::string> kViewCalls;

class CameraViewTest : public ViewTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Puts files on the camera (content of the given sizes) and clears the camera's log.
    static void AddFiles(const CameraFiles& files);
    // A browser that shows the camera folder; it fails the test on calls outside kViewCalls.
    void ShowCamera(HostOptions options = {});
    // Closes the browser as the user's close does and lets it go.
    void CloseBrowser();
    // Handles the messages waiting in the queue (the view brings its toolbar and status
    // texts up to date once a burst of selection changes is over) and, while the view reads
    // the camera, those until it has read it.
    void PumpQueued();

    HWND ViewWindow() const { return m_pBrowser->ViewWindow(); }
    HWND List() const { return GetDlgItem(ViewWindow(), IDC_LIST); }
    HWND Header() const { return reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETHEADER, 0, 0)); }
    // The view object behind the browser's view, with a reference.
    ComPtr<CameraView> View() const;

    // Rows as the list shows them (texts through the view's display callback).
    std::vector<std::string> RowNames() const;
    std::vector<std::string> RowTexts(int row) const;
    LPCITEMIDLIST RowItem(int row) const;
    // Selects exactly these rows and lets the view follow.
    void SelectRows(const std::vector<int>& rows);
    std::vector<int> ColumnWidths() const;

    // The merged menu's popup of an id, as item texts (separators are empty texts).
    std::vector<std::string> PopupTexts(UINT idPopup) const;
    HMENU Popup(UINT idPopup) const;
    std::vector<std::string> StatusTexts() const { return m_pBrowser->StatusBar().texts; }
    // The view's buttons: the last twelve of the toolbar.
    std::vector<ToolbarButton> ViewButtons() const;

    // Mouse messages to the header: a click in a column, a divider dragged or double-clicked.
    void ClickHeader(int column) const;
    void DragDivider(int column, int dx) const;
    void DoubleClickDivider(int column) const;

    ComPtr<HostBrowser> m_pBrowser;
    DialogCapture m_capture;
};

// Sets a product name for the length of a scope (under the old product key).
class ProductNameScope {
public:
    explicit ProductNameScope(const char* name);
    ~ProductNameScope();
    ProductNameScope(const ProductNameScope&) = delete;
    ProductNameScope& operator=(const ProductNameScope&) = delete;
};

// The process's OLE allocator spy: refuses the nth allocation of a size from the moment it
// is armed. Registered once for the whole program (OLE keeps a spy while blocks it saw live).
class AllocationFailure {
public:
    AllocationFailure(SIZE_T cb, int nth);
    ~AllocationFailure();
    AllocationFailure(const AllocationFailure&) = delete;
    AllocationFailure& operator=(const AllocationFailure&) = delete;

    bool Happened() const;
};

// The camera's calls, one "function name" text each.
std::vector<std::string> CameraCalls();
size_t CountCalls(const std::string& function);
