// The folder's IEnumIDList: one reading of the camera's listing, handed out as copies.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <memory>
#include <optional>
#include "camera/CameraConnectionUse.h"
#include "items/ItemIdManager.h"
#include "base/ComObject.h"
#include "base/Raii.h"

class ItemEnumerator final : public ComObject<ItemEnumerator, IEnumIDList> {
public:
    // Reads the camera now (when grfFlags asks for files), as one unit of work whose
    // messages hwndOwner parents, and hands out one reference.
    // E_FAIL when the object cannot be allocated, E_OUTOFMEMORY without allocator or manager.
    static HRESULT Create(HWND hwndOwner, SHCONTF grfFlags, IEnumIDList** ppenum);

    static const QITAB* InterfaceTable();

    // IEnumIDList
    IFACEMETHODIMP Next(ULONG celt, LPITEMIDLIST* rgelt, ULONG* pceltFetched) override;
    IFACEMETHODIMP Skip(ULONG celt) override;
    IFACEMETHODIMP Reset() override;
    IFACEMETHODIMP Clone(IEnumIDList** ppenum) override;

private:
    // One link of the chain, allocated from the shell's allocator; owns its item.
    struct ItemNode {
        ItemNode* pNext;
        LPITEMIDLIST pidl;
    };

    ItemEnumerator() = default;
    ~ItemEnumerator() override;

    HRESULT Initialize(HWND hwndOwner, SHCONTF grfFlags);
    bool BuildItemList(HWND hwndOwner, SHCONTF grfFlags);
    bool ReadListing(CameraConnection* connection);
    bool AppendItem(LPITEMIDLIST pidl);
    void FreeItemList();

    // Destroyed in reverse: allocator, manager, connection use (the base's module count last).
    std::optional<CameraConnectionUse> m_connection;  // taken once manager and allocator are there
    std::unique_ptr<ItemIdManager> m_pIdManager;
    ComPtr<IMalloc> m_pMalloc;
    ItemNode* m_pFirst = nullptr;
    ItemNode* m_pLast = nullptr;
    ItemNode* m_pCurrent = nullptr;
};
