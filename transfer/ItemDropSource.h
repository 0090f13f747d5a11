// Steers a drag of camera files out of the view: Escape cancels, letting go of the left
// button drops, and the platform's cursors show the effect.
#pragma once
#include <windows.h>
#include <ole2.h>
#include "base/ComObject.h"

class ItemDropSource final : public ComObject<ItemDropSource, IDropSource> {
public:
    // A drop source with one reference, or null without memory.
    static ItemDropSource* Create();

    static const QITAB* InterfaceTable();

    // IDropSource
    IFACEMETHODIMP QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState) override;
    IFACEMETHODIMP GiveFeedback(DWORD dwEffect) override;

private:
    ItemDropSource() = default;
    ~ItemDropSource() override = default;
};
