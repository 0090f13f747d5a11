// Copying camera files out through temporary copies, and finishing a move of those copies.
#include "camera/BackgroundWork.h"
#include "transfer/CameraNames.h"
#include "transfer/ItemDataObject.h"
#include "transfer/TransferProgress.h"

namespace {
// The CF_HDROP block: the header and the list of wide paths (as the shell's own lists are, so
// that every receiver opens the folder as it is spelled), which ends in its own zero.
HGLOBAL MakeDropFilesBlock(const wchar_t* list, SIZE_T cchList)
{
    const SIZE_T cbList = cchList * sizeof(wchar_t);
    GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, sizeof(DROPFILES) + cbList));
    if (!block) return nullptr;
    GlobalLockPtr<BYTE> bytes(block.Get());
    if (!bytes) return nullptr;
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    CopyMemory(bytes.Get(), &header, sizeof(header));
    CopyMemory(bytes.Get() + sizeof(header), list, cbList);
    return block.Release();
}

// Removes the copies a stopped copy wrote (each path ends in its own zero).
void DeleteWrittenCopies(const wchar_t* paths, SIZE_T cchPaths)
{
    for (const wchar_t* path = paths; path < paths + cchPaths; path += lstrlenW(path) + 1) DeleteFileW(path);
}
}  // namespace

// Copies every item into the object's own folder of temporary copies on a worker thread
// under the progress dialog, and lists the copies in *phDropFiles; nothing is listed when
// nothing was copied (no items: the camera is not even asked). Each listed copy is held, to
// tell at a move whether it really left. A copy the user stopped lists nothing and leaves no
// copy behind: E_ABORT.
HRESULT ItemDataObject::BuildDropFiles(bool fReadOnly, HGLOBAL* phDropFiles)
{
    *phDropFiles = nullptr;
    CameraConnection* connection = m_connection.Get();
    if (!connection || m_items.Count() == 0 || m_items.Count() > (static_cast<SIZE_T>(-1) / sizeof(wchar_t) - 1) / MAX_PATH)
        return STG_E_MEDIUMFULL;
    const SIZE_T cchPaths = static_cast<SIZE_T>(m_items.Count()) * MAX_PATH + 1;
    MallocPtr<wchar_t> paths(m_pMalloc.Get(), static_cast<wchar_t*>(m_pMalloc->Alloc(cchPaths * sizeof(wchar_t))));
    if (!paths) return STG_E_MEDIUMFULL;
    SIZE_T total = 0;
    bool stopped = false;
    const ULONGLONG bytes = m_pIdManager->GetTotalFileSize(m_items.Items(), m_items.Count());
    TransferProgress progress(connection, ProgressKind::CopyOut, m_hwndOwner, m_items.Count(), bytes);
    auto copy = [&] {
        if (!connection->Connect()) return;
        progress.Begin();
        CopyItemsToTemp(connection, progress, paths.Get(), &total, fReadOnly);
        stopped = connection->IsWorkCancelled();
    };
    BackgroundWork::Run(connection, m_hwndOwner, copy, progress);
    m_copyFolder.Close();
    if (!stopped && total > 0) {
        paths.Get()[total] = L'\0';
        *phDropFiles = MakeDropFilesBlock(paths.Get(), total + 1);
    }
    if (*phDropFiles) return S_OK;
    for (UINT i = 0; i < m_items.Count(); ++i) m_aCopies[i].Release();  // nothing is listed after all
    if (!stopped) return STG_E_MEDIUMFULL;
    DeleteWrittenCopies(paths.Get(), total);
    return E_ABORT;
}

// Copies the items one after the other, writing each copy's path behind the last one, until
// the user stops the copy. Two names equal without regard to case would share one temporary
// path: only the first is tried.
void ItemDataObject::CopyItemsToTemp(CameraConnection* connection, TransferProgress& progress, wchar_t* paths, SIZE_T* pcchPaths,
                                     bool fReadOnly)
{
    CameraNameSet tried;
    wchar_t* write = paths;
    for (UINT i = 0; i < m_items.Count() && !connection->IsWorkCancelled(); ++i) {
        progress.BeginFile(i + 1);
        if (!m_items.Item(i)) continue;
        char name[MAX_PATH];
        m_pIdManager->GetItemName(m_items.Item(i), name, MAX_PATH);
        if (tried.Contains(name) || FAILED(tried.Add(name))) {
            connection->Messages().ReportTransferError(kTransferCopyFailed);  // as for any copy that cannot be made
            continue;
        }
        if (!connection->Files().CopyToTempFile(name, write, fReadOnly, &m_copyFolder)) continue;
        m_aCopies[i].Hold(write);
        const SIZE_T length = lstrlenW(write) + 1;
        write += length;
        *pcchPaths += length;
    }
}

// After a receiver moved the copies: the cut rows go, and each camera file whose listed copy
// is verifiably gone is deleted on the camera. Every other file stays, and the view lists
// the camera again for it, once the deletions are done (a listing in between would show
// files about to go).
void ItemDataObject::FinishMove(ItemView* view)
{
    view->RemoveCutRows();
    CameraConnection* connection = m_connection.Get();
    UINT kept = 0;
    auto finish = [&] {
        if (!connection->Connect()) return;
        for (UINT i = 0; i < m_items.Count(); ++i) {
            if (!m_items.Item(i)) continue;
            if (!IsCopyMovedAway(i)) {
                ++kept;
                continue;
            }
            char name[MAX_PATH];
            m_pIdManager->GetItemName(m_items.Item(i), name, MAX_PATH);
            connection->Files().DeleteCameraFile(name);
            m_items.Forget(i);
            m_aCopies[i].Release();
        }
    };
    if (!connection || !BackgroundWork::Run(connection, m_hwndOwner, finish)) return;
    for (; kept > 0; --kept) view->Refresh();
}

// Whether the copy of an item that this object listed verifiably left the object's folder. A
// copy still there, removed, replaced, being deleted, or one that cannot be checked, has not.
bool ItemDataObject::IsCopyMovedAway(UINT item)
{
    return m_hDropFiles && m_aCopies[item].HasLeft(m_copyFolder.Path());
}
