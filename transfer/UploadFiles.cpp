// Sending PC files to the camera.
#include "view/CameraView.h"

// Not provided yet: nothing is sent.
HRESULT CameraView::UploadFiles(HDROP)
{
    return E_NOTIMPL;
}
