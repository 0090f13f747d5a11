// Finding the view from its window: the window keeps the view in a property of its own.
#include "transfer/ItemView.h"

namespace {
// The window property that holds the view (not counted: the view detaches before it goes).
const char kItemViewProperty[] = "Lumora.ItemView";
}  // namespace

void AttachItemView(HWND hwnd, ItemView* view)
{
    SetPropA(hwnd, kItemViewProperty, view);
}

void DetachItemView(HWND hwnd)
{
    RemovePropA(hwnd, kItemViewProperty);
}

ItemView* ItemViewFromWindow(HWND hwnd)
{
    if (!hwnd) return nullptr;
    auto* view = static_cast<ItemView*>(GetPropA(hwnd, kItemViewProperty));
    if (view) view->AddRef();
    return view;
}
