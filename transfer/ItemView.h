// What the transfer layer needs of the view that lists the camera's files, and finding that view from its window.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

// The view as the data object and the drop target see it: cut marks and rows, a new
// listing, its own data, sending files, and one operation of the view at a time.
class ItemView {
public:
    // One more reference; returns the new count.
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    // One reference less; the last destroys the view. Returns the new count.
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

    // Dims (or undims) the rows of the given items as cut; items no row shows are passed over.
    virtual void MarkCutItems(LPCITEMIDLIST* apidl, UINT cidl, BOOL fMark) = 0;
    // Deletes every row marked as cut.
    virtual void RemoveCutRows() = 0;
    // Reads the camera again into the list (at the end of an operation that runs).
    virtual HRESULT STDMETHODCALLTYPE Refresh() = 0;
    // Whether a data object is the one the view placed on the clipboard or is dragging out.
    virtual bool IsOwnData(IDataObject* pData) const = 0;
    // PC files to the camera, from a CF_HDROP list; a block that is no sound list sends nothing.
    virtual HRESULT UploadFiles(HDROP hDrop) = 0;

    // Starts an operation of the view: false while another one runs.
    virtual bool BeginOperation() = 0;
    // Ends the operation started last; a refresh asked for meanwhile runs now.
    virtual void EndOperation() = 0;

protected:
    ~ItemView() = default;
};

// Makes the view reachable from its window (until DetachItemView).
void AttachItemView(HWND hwnd, ItemView* view);
// The window no longer leads to its view.
void DetachItemView(HWND hwnd);
// The view attached to the window, with one reference added; null for any other window.
ItemView* ItemViewFromWindow(HWND hwnd);
