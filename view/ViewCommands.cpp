// The view's commands: menu items, toolbar buttons, keys, the context menu and the
// activation of a row all arrive at ShowItemMenu.
#include "view/CameraView.h"

// Carries out a command (none yet), then brings the toolbar and the status texts up to date.
void CameraView::ShowItemMenu(int, int, bool, int)
{
    UpdateToolbar();
    UpdateStatusBar(true, false);
}
