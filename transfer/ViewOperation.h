// One command, drag or upload of the view at a time, held for a scope.
#pragma once
#include "base/Raii.h"
#include "transfer/ItemView.h"

// While it runs the view stays alive, a second one that arrives through a nested message
// loop (a message box's, the connect dialog's, a menu's, a drag's) is refused quietly, and
// a refresh asked for meanwhile waits for its end.
class ViewOperation {
public:
    explicit ViewOperation(ItemView* view);
    ~ViewOperation();
    ViewOperation(const ViewOperation&) = delete;
    ViewOperation& operator=(const ViewOperation&) = delete;

    // False when another operation of the view runs: this one must not start.
    explicit operator bool() const { return m_fRunning; }

private:
    ComPtr<ItemView> m_pView;
    bool m_fRunning = false;
};
