// The drop source of a drag out of the view.
#include "transfer/ItemDropSource.h"
#include <new>

ItemDropSource* ItemDropSource::Create()
{
    return new (std::nothrow) ItemDropSource();
}

// IUnknown and IDropSource: the object itself.
const QITAB* ItemDropSource::InterfaceTable()
{
    static const QITAB table[] = {
        QITABENT(ItemDropSource, IDropSource),
        {},
    };
    return table;
}

// Escape cancels; the left button let go drops; otherwise the drag goes on.
IFACEMETHODIMP ItemDropSource::QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState)
{
    if (fEscapePressed) return DRAGDROP_S_CANCEL;
    if (!(grfKeyState & MK_LBUTTON)) return DRAGDROP_S_DROP;
    return S_OK;
}

// The platform's cursors for every effect.
IFACEMETHODIMP ItemDropSource::GiveFeedback(DWORD)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}
