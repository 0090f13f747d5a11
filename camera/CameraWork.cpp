// One unit of camera work: the connection taken for one window's work, and given back.
#include "camera/CameraWork.h"

// Takes the connection for the unit and names its window.
CameraWork::CameraWork(CameraConnection* connection, HWND owner, WindowThreadCall* windowThread, bool fQuiet)
    : m_pConnection(connection)
{
    if (m_pConnection) m_hwndPrevious = m_pConnection->BeginWork(owner, windowThread, fQuiet);
}

// Ends the unit: the outermost one closes a link of type 0.
CameraWork::~CameraWork()
{
    if (m_pConnection) m_pConnection->EndWork(m_hwndPrevious);
}

// Opens the link for the unit.
bool CameraWork::Connect()
{
    return m_pConnection && m_pConnection->Connect();
}
