// The view's Thumbnails mode: a picture of each photo in the list, made in the background.
#include "view/ViewThumbnails.h"
#include "items/ExifThumbnail.h"
#include "items/ThumbnailCache.h"
#include "items/ThumbnailPicture.h"
#include "view/CameraView.h"
#include "view/ViewRows.h"

namespace {
// Room around a picture for the row's label and its selection frame.
constexpr int kSpacingX = kThumbnailSide + 24;
constexpr int kSpacingY = kThumbnailSide + 40;

// The colour the list paints its background with.
COLORREF ListBackground(HWND list)
{
    const COLORREF color = static_cast<COLORREF>(SendMessageA(list, LVM_GETBKCOLOR, 0, 0));
    return color == CLR_NONE ? GetSysColor(COLOR_WINDOW) : color;
}
// The list lays out its rows and scroll bars again for another size of picture. Wine's list
// does that only when its size or its type changes: its height changes and changes back.
void LayOutAgain(HWND list)
{
    RECT bounds = {};
    GetWindowRect(list, &bounds);
    const int cx = bounds.right - bounds.left;
    const int cy = bounds.bottom - bounds.top;
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(list, nullptr, 0, 0, cx, cy + 1, flags | SWP_NOREDRAW);
    SetWindowPos(list, nullptr, 0, 0, cx, cy, flags);
}
}  // namespace

void ViewThumbnails::SetShown(bool fShown)
{
    const HWND list = m_rows.ListWindow();
    if (fShown == IsShown() || !list) return;
    if (!fShown) {
        m_pJob.reset();
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(SystemImageList(false)));
        SendMessageA(list, LVM_SETICONSPACING, 0, MAKELPARAM(-1, -1));
        LayOutAgain(list);
        m_hImages.Reset();
        m_pictures.clear();
        m_icons.clear();
        return;
    }
    m_hImages.Reset(ImageList_Create(kThumbnailSide, kThumbnailSide, ILC_COLOR32, 16, 64));
    if (!m_hImages) return;
    m_background = ListBackground(list);
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(m_hImages.Get()));
    SendMessageA(list, LVM_SETICONSPACING, 0, MAKELPARAM(kSpacingX, kSpacingY));
    LayOutAgain(list);
    StartJob();
}

void ViewThumbnails::OnRowsChanged()
{
    if (!IsShown()) return;
    if (m_pJob && !m_pJob->HasEnded()) {
        m_pJob->Wake();
        return;
    }
    m_pJob.reset();
    StartJob();
}

// The worker, with the user's cache.
void ViewThumbnails::StartJob()
{
    m_pJob = ThumbnailJob::Start(m_view.Window(), this, m_background, ThumbnailCache::DefaultRoot().c_str());
}

// A photo's picture once made; every other row's icon.
int ViewThumbnails::ImageIndex(LPCITEMIDLIST pidl, int iconIndex)
{
    if (!IsShown()) return iconIndex;
    Key key;
    if (ItemKey(pidl, &key)) {
        const auto found = m_pictures.find(key);
        if (found != m_pictures.end() && found->second >= 0) return found->second;
    }
    return IconImage(iconIndex);
}

bool ViewThumbnails::IsReading() const
{
    if (!m_pJob || m_pJob->HasEnded()) return false;
    for (const auto& picture : m_pictures)
        if (picture.second == kPending) return true;
    return FindWantedRow(false) >= 0;
}

bool ViewThumbnails::HasPicture(const char* name, DWORD size) const
{
    const auto found = name ? m_pictures.find(Key{name, size}) : m_pictures.end();
    return found != m_pictures.end() && found->second >= 0;
}

// The first photo without a picture that was not asked for yet: among the rows in sight,
// or among all of them. Nothing while the view is busy with the camera.
bool ViewThumbnails::NextThumbnailRequest(ThumbnailRequest* request)
{
    if (!IsShown() || m_view.IsBusy() || m_view.IsListing()) return false;
    int row = FindWantedRow(true);
    if (row < 0) row = FindWantedRow(false);
    Key key;
    if (row < 0 || !RowKey(row, &key)) return false;
    m_pictures[key] = kPending;
    lstrcpynA(request->name, key.name.c_str(), sizeof(request->name));
    request->size = key.size;
    return true;
}

// The picture goes into the image list and the rows of its file show it.
void ViewThumbnails::OnThumbnail(const ThumbnailRequest& request, HBITMAP picture)
{
    if (!IsShown()) return;
    const Key key = {request.name, request.size};
    const int image = picture ? ImageList_Add(m_hImages.Get(), picture, nullptr) : kNone;
    m_pictures[key] = image >= 0 ? image : kNone;
    if (image >= 0) RedrawRowsOf(key);
}

// The row's camera name and size; false for a row without a camera item.
bool ViewThumbnails::RowKey(int row, Key* key) const
{
    return ItemKey(m_rows.RowItem(row), key);
}

// The item's camera name and size; false for no camera item.
bool ViewThumbnails::ItemKey(LPCITEMIDLIST pidl, Key* key) const
{
    if (!pidl || !m_rows.IdManager()) return false;
    char name[ZQ_NAME_MAX + 1] = "";
    if (m_rows.IdManager()->GetItemName(pidl, name, sizeof(name)) <= 0) return false;
    *key = {name, m_rows.IdManager()->GetItemFileSize(pidl)};
    return true;
}

// The first row in list order of a photo not asked for, optionally only among those in sight.
int ViewThumbnails::FindWantedRow(bool fInSightOnly) const
{
    RECT client = {};
    GetClientRect(m_rows.ListWindow(), &client);
    const int count = m_rows.RowCount();
    for (int row = 0; row < count; ++row) {
        Key key;
        if (!RowKey(row, &key) || !IsJpegName(key.name.c_str())) continue;
        if (m_pictures.count(key) != 0) continue;
        if (!fInSightOnly || IsRowInSight(row, client)) return row;
    }
    return -1;
}

bool ViewThumbnails::IsRowInSight(int row, const RECT& client) const
{
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    if (!SendMessageA(m_rows.ListWindow(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds))) return false;
    RECT overlap;
    return IntersectRect(&overlap, &bounds, &client) != FALSE;
}

// The type's icon in the middle of a square of the list's background, made once a type.
int ViewThumbnails::IconImage(int iconIndex)
{
    const auto found = m_icons.find(iconIndex);
    if (found != m_icons.end()) return found->second;
    DWORD* pixels = nullptr;
    BitmapHandle square = MakeThumbnailBitmap(&pixels);
    MemoryDCHandle dc(CreateCompatibleDC(nullptr));
    if (!square || !dc) return -1;
    const DWORD bgra = RGB(GetBValue(m_background), GetGValue(m_background), GetRValue(m_background));
    for (int i = 0; i < kThumbnailSide * kThumbnailSide; ++i) pixels[i] = bgra;
    const HIMAGELIST icons = SystemImageList(false);
    int cx = 0;
    int cy = 0;
    ImageList_GetIconSize(icons, &cx, &cy);
    {
        SelectedObject selected(dc.Get(), square.Get());
        ImageList_Draw(icons, iconIndex, dc.Get(), (kThumbnailSide - cx) / 2, (kThumbnailSide - cy) / 2, ILD_TRANSPARENT);
    }
    const int image = ImageList_Add(m_hImages.Get(), square.Get(), nullptr);
    m_icons[iconIndex] = image;
    return image;
}

// The rows of the file paint again.
void ViewThumbnails::RedrawRowsOf(const Key& key)
{
    m_rows.ForEachRow(false, [&](int row) {
        Key rowKey;
        if (RowKey(row, &rowKey) && rowKey == key)
            SendMessageA(m_rows.ListWindow(), LVM_REDRAWITEMS, row, row);
    });
}
