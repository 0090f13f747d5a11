// The rows of the view's list: the list control, the items its rows own, the selection, the sort and the cut marks.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <memory>
#include <vector>
#include "base/Raii.h"
#include "items/ItemColumns.h"
#include "items/ItemIdManager.h"
#include "items/ItemTypeCache.h"

// The list's child id in the view window.
constexpr UINT IDC_LIST = 2000;

// The list's style for a view mode; the icon view for every mode it does not know.
DWORD ListStyleForMode(UINT viewMode);
// The system's image list of file type icons, large or small (shared: never destroyed).
HIMAGELIST SystemImageList(bool fSmall);

struct SortContext;

class ViewRows {
public:
    // Rows of the folder's items (the folder outlives the rows).
    explicit ViewRows(IShellFolder* folder) : m_pFolder(folder) {}
    ViewRows(const ViewRows&) = delete;
    ViewRows& operator=(const ViewRows&) = delete;

    // The allocator, the manager and the type names; false when one cannot be had.
    bool Initialize();

    // The list: made in the view window, filled, arranged, and forgotten when the window goes.
    bool CreateList(HWND hwndView, const FOLDERSETTINGS& settings);
    void InitColumns(HWND hwndView);
    // A fill: rows arrive in batches while the camera is read, each put in its place in the
    // order the list shows (by name until a header is clicked); selection and scroll stay.
    void BeginFill();
    void AddRows(const std::vector<LPITEMIDLIST>& rows);  // the rows own the identifiers from now on
    void DeleteAllRows();
    void Arrange();
    void ApplyShellSettings();
    void ForgetList() { m_hwndList = nullptr; }
    HWND ListWindow() const { return m_hwndList; }

    // Sorting by a header click, texts and icons for the list, and the identifier of a row
    // the list deleted.
    void SortByColumn(int column);
    void GetDisplayInfo(NMLVDISPINFOA* pInfo);
    void FreeDeletedItem(LPITEMIDLIST pidl);
    void FreeRowItems();

    // Reading the rows.
    int RowCount() const;
    UINT SelectedCount() const;
    LPCITEMIDLIST RowItem(int row) const;
    LPCITEMIDLIST* CollectSelection(UINT* pcidl);
    int FindListItem(LPCITEMIDLIST pidl);
    // The camera name a row shows (13-byte buffer); false when the list has no such row.
    bool GetListItemName(int row, char* name);
    ULONGLONG CountedBytes(bool fSelectedOnly) const;
    // Where a context menu opens: the message's signed screen position, or for the
    // keyboard's (-1, -1) below the focused row (the list's corner when no row has focus).
    POINT ContextMenuPosition(LPARAM lParam) const;

    // Cut marks.
    void MarkCutItems(LPCITEMIDLIST* apidl, UINT cidl, BOOL fMark);
    void ClearCutMarks();
    void RemoveCutRows();

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

    IMalloc* Malloc() const { return m_pMalloc.Get(); }
    ItemIdManager* IdManager() const { return m_pIdManager.get(); }

private:
    bool AppendRow(LPITEMIDLIST pidl, int index);
    void SortList(int column, int direction);
    int InsertionIndex(LPCITEMIDLIST pidl, const SortContext& context) const;
    int NextSelectedRow(int row) const
    {
        return static_cast<int>(SendMessageA(m_hwndList, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
    }

    // Destroyed in reverse: the type names go before the manager they read.
    IShellFolder* m_pFolder;
    ComPtr<IMalloc> m_pMalloc;
    std::unique_ptr<ItemIdManager> m_pIdManager;
    std::unique_ptr<ItemTypeCache> m_pTypeCache;  // type names and icons per extension, for one fill
    HWND m_hwndList = nullptr;
    int m_iSortColumn = -1;
    int m_iSortDirection = 1;
    int m_iShownColumn = kColumnName;  // the order the rows show now: a fill's or the last click's
    int m_iShownDirection = 1;
};
