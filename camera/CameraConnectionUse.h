// One use of the shared camera connection, held by every object that talks to the camera.
#pragma once
#include "camera/CameraConnection.h"

// Takes a use when made and gives it back when it goes; the last use closes the link and
// destroys the connection. Get() is null when the connection could not be made.
class CameraConnectionUse {
public:
    CameraConnectionUse() : m_pConnection(AcquireCameraConnection()) {}
    ~CameraConnectionUse() { ReleaseCameraConnection(); }
    CameraConnectionUse(const CameraConnectionUse&) = delete;
    CameraConnectionUse& operator=(const CameraConnectionUse&) = delete;

    CameraConnection* Get() const { return m_pConnection; }

private:
    CameraConnection* m_pConnection;
};
