// The camera view's drop target: PC files dropped onto the view go to the view's UploadFiles.
#pragma once
#include <windows.h>
#include <ole2.h>
#include "base/ComObject.h"
#include "camera/CameraConnectionUse.h"
#include "transfer/ItemView.h"

// Every drag over the view is offered a copy; only Drop looks at the data, and hands its
// CF_HDROP list to the view.
class ViewDropTarget final : public ComObject<ViewDropTarget, IDropTarget> {
public:
    // A drop target serving the view (not counted: the view owns its drop target), with one
    // reference, or null without memory.
    static ViewDropTarget* Create(ItemView* view);

    static const QITAB* InterfaceTable();

    // The view is going: later calls do nothing.
    void DetachView() { m_pView = nullptr; }

    // IDropTarget
    IFACEMETHODIMP DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
    IFACEMETHODIMP DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
    IFACEMETHODIMP DragLeave() override;
    IFACEMETHODIMP Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;

private:
    explicit ViewDropTarget(ItemView* view) : m_pView(view) {}
    ~ViewDropTarget() override = default;

    static HRESULT UploadDroppedFiles(ItemView* view, IDataObject* pDataObj);

    CameraConnectionUse m_connection;  // the drop target's own use of the camera link
    ItemView* m_pView;
};
