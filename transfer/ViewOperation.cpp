// One operation of the view at a time.
#include "transfer/ViewOperation.h"

// Starts an operation of the view unless one runs already.
ViewOperation::ViewOperation(ItemView* view) : m_pView(view)
{
    if (!m_pView || !m_pView->BeginOperation()) return;
    m_fRunning = true;
}

// Ends the operation; a refresh asked for meanwhile runs now.
ViewOperation::~ViewOperation()
{
    if (m_fRunning) m_pView->EndOperation();
}
