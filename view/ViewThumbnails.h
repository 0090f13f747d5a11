// The view's Thumbnails mode: a picture of each photo in the list, made in the background.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <map>
#include <memory>
#include <string>
#include "base/Raii.h"
#include "view/ThumbnailJob.h"

class CameraView;
class ViewRows;

// While shown, the list's large images are kThumbnailSide squares: a photo's picture once
// the job has made it, until then (and for every other file) its type's icon in the middle.
// The job asks for the photos in sight first, then the rest in the list's order, and gets
// nothing while the view lists the camera or runs another operation.
class ViewThumbnails final : public ThumbnailSink {
public:
    ViewThumbnails(CameraView& view, ViewRows& rows) : m_view(view), m_rows(rows) {}
    ~ViewThumbnails() { Stop(); }
    ViewThumbnails(const ViewThumbnails&) = delete;
    ViewThumbnails& operator=(const ViewThumbnails&) = delete;

    // Shows the pictures in the list and starts the job, or gives the list its icons back
    // and forgets the pictures.
    void SetShown(bool fShown);
    bool IsShown() const { return static_cast<bool>(m_hImages); }
    // Rows came, or the view is free again: the job looks for files to read (it starts
    // again when the camera could not be reached before).
    void OnRowsChanged();
    // The job stops (the window goes); the pictures made stay.
    void Stop() { m_pJob.reset(); }
    // The image a row shows while shown, given its type's icon in the system's large list.
    int ImageIndex(LPCITEMIDLIST pidl, int iconIndex);
    // Whether pictures are still to come: the job runs and a photo waits for its picture.
    bool IsReading() const;
    // Whether the file of this name and size shows a picture of its own now.
    bool HasPicture(const char* name, DWORD size) const;

    // ThumbnailSink
    bool NextThumbnailRequest(ThumbnailRequest* request) override;
    void OnThumbnail(const ThumbnailRequest& request, HBITMAP picture) override;

private:
    // A camera file as the pictures know it: its name and size.
    struct Key {
        std::string name;
        DWORD size;
        bool operator<(const Key& other) const { return name != other.name ? name < other.name : size < other.size; }
        bool operator==(const Key& other) const { return name == other.name && size == other.size; }
    };
    static constexpr int kPending = -2;  // asked for, not made yet
    static constexpr int kNone = -1;     // the file has no picture: its icon

    void StartJob();
    bool RowKey(int row, Key* key) const;
    bool ItemKey(LPCITEMIDLIST pidl, Key* key) const;
    int FindWantedRow(bool fInSightOnly) const;
    bool IsRowInSight(int row, const RECT& client) const;
    int IconImage(int iconIndex);
    void RedrawRowsOf(const Key& key);

    CameraView& m_view;
    ViewRows& m_rows;
    COLORREF m_background = 0;
    std::map<Key, int> m_pictures;  // the files asked for: their image, kPending or kNone
    std::map<int, int> m_icons;     // system icon index: its image
    ImageListHandle m_hImages;
    std::unique_ptr<ThumbnailJob> m_pJob;  // last: stopped before the rest goes
};
