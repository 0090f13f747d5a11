// Copying camera files out through temporary copies, and finishing a move of those copies.
#include <algorithm>
#include "camera/CameraFileName.h"
#include "camera/CameraWork.h"
#include "transfer/CameraNames.h"
#include "transfer/ItemDataObject.h"
#include "transfer/ProgressDialog.h"

namespace {
// The CF_HDROP block: the header (paths single-byte) and the list, which ends in its own zero.
HGLOBAL MakeDropFilesBlock(const char* list, SIZE_T cbList)
{
    GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, sizeof(DROPFILES) + cbList));
    if (!block) return nullptr;
    GlobalLockPtr<BYTE> bytes(block.Get());
    if (!bytes) return nullptr;
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    CopyMemory(bytes.Get(), &header, sizeof(header));
    CopyMemory(bytes.Get() + sizeof(header), list, cbList);
    return block.Release();
}
}  // namespace

// Copies every item into the folder of temporary copies under the progress dialog and lists
// the copies; null when nothing was copied (no items: the camera is not even asked).
HGLOBAL ItemDataObject::BuildDropFiles(bool fReadOnly)
{
    if (m_items.Count() == 0 || m_items.Count() > (static_cast<SIZE_T>(-1) - 1) / MAX_PATH) return nullptr;
    WaitCursor wait;
    CameraWork work(m_connection.Get(), m_hwndOwner);
    if (!work.Connect()) return nullptr;
    MallocPtr<char> paths(m_pMalloc.Get(), static_cast<char*>(m_pMalloc->Alloc(static_cast<SIZE_T>(m_items.Count()) * MAX_PATH + 1)));
    if (!paths) return nullptr;
    SIZE_T total = 0;
    CopyItemsToTemp(work.Connection(), paths.Get(), &total, fReadOnly);
    HGLOBAL block = nullptr;
    if (total > 0) {
        paths.Get()[total] = '\0';
        block = MakeDropFilesBlock(paths.Get(), total + 1);
    }
    if (!block) std::fill(m_afListed.get(), m_afListed.get() + m_items.Count(), false);  // nothing is listed after all
    return block;
}

// Copies the items one after the other, writing each copy's path behind the last one. Two
// names equal without regard to case would share one temporary path: only the first is tried.
void ItemDataObject::CopyItemsToTemp(CameraConnection* connection, char* paths, SIZE_T* pcbPaths, bool fReadOnly)
{
    CopyProgressDialog dialog(m_hwndOwner, m_items.Count());
    CameraNameSet tried;
    char* write = paths;
    for (UINT i = 0; i < m_items.Count(); ++i) {
        dialog.SetCurrent(i + 1);
        if (!m_items.Item(i)) continue;
        char name[MAX_PATH];
        m_pIdManager->GetItemName(m_items.Item(i), name, MAX_PATH);
        if (tried.Contains(name) || FAILED(tried.Add(name))) {
            connection->ReportTransferError(2);  // as for any copy that cannot be made
            continue;
        }
        if (!connection->CopyToTempFile(name, write, fReadOnly)) continue;
        const SIZE_T length = lstrlenA(write) + 1;
        write += length;
        *pcbPaths += length;
        m_afListed[i] = true;
    }
}

// After a receiver moved the copies: the cut rows go, and each camera file whose listed copy
// is verifiably gone is deleted on the camera. Every other file stays, and the view lists
// the camera again for it, once the deletions are done (a listing in between would show
// files about to go).
void ItemDataObject::FinishMove(CameraView* view)
{
    view->RemoveCutRows();
    CameraWork work(m_connection.Get(), m_hwndOwner);
    if (!work.Connect()) return;
    UINT kept = 0;
    for (UINT i = 0; i < m_items.Count(); ++i) {
        if (!m_items.Item(i)) continue;
        if (!IsCopyMovedAway(i)) {
            ++kept;
            continue;
        }
        char name[MAX_PATH];
        m_pIdManager->GetItemName(m_items.Item(i), name, MAX_PATH);
        work->DeleteCameraFile(name);
        m_items.Forget(i);
        m_afListed[i] = false;
    }
    for (; kept > 0; --kept) view->Refresh();
}

// Whether the copy of an item was listed by this object and is gone from its path. A copy
// still there, or one that cannot be checked (locked, access denied), has not moved.
bool ItemDataObject::IsCopyMovedAway(UINT item)
{
    if (!m_hDropFiles || !m_afListed[item]) return false;
    char name[MAX_PATH];
    char path[MAX_PATH];
    m_pIdManager->GetItemName(m_items.Item(item), name, MAX_PATH);
    if (!BuildTempCopyPath(name, path)) return false;
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}
