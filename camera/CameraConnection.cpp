// Placeholder until the connection lands: every operation fails.
#include "camera/CameraConnection.h"

CameraConnection* g_pConnection = nullptr;
LONG g_cConnectionUsers = 0;
bool g_fConnectCancelled = false;
HWND g_hwndConnectDialog = nullptr;

CameraConnection::CameraConnection(IShellView* owner) : m_pOwnerView(owner) {}
CameraConnection::~CameraConnection() {}
bool CameraConnection::Connect() { return false; }
bool CameraConnection::Disconnect() { return true; }
bool CameraConnection::NextFileEntry(CameraFileEntry*, bool) { return false; }
bool CameraConnection::DeleteCameraFile(const char*) { return false; }
bool CameraConnection::ReceiveCameraFile(const char*, DWORD, BYTE*) { return false; }
ComStatus CameraConnection::BeginSegmentedReceive(const char*, DWORD) { return ZQ_STATUS_NO_LINK; }
ComStatus CameraConnection::ReceiveSegment(DWORD, BYTE*) { return ZQ_STATUS_NO_LINK; }
bool CameraConnection::CopyToTempFile(const char*, char*, bool) { return false; }
bool CameraConnection::OpenCameraFile(const char*) { return false; }
ComStatus CameraConnection::PutCameraFile(const char*, DWORD, const BYTE*) { return ZQ_STATUS_NO_LINK; }
ComStatus CameraConnection::BeginSegmentedPut(const char*, DWORD) { return ZQ_STATUS_NO_LINK; }
ComStatus CameraConnection::PutSegment(DWORD, const BYTE*) { return ZQ_STATUS_NO_LINK; }
bool CameraConnection::QueryFirmwareVersion(int*, int*, int*) { return false; }
DWORD CameraConnection::QueryMediaFree() { return 0; }
void CameraConnection::ReportComStatus(ComStatus) {}
void CameraConnection::ReportTransferError(int) {}
void CameraConnection::ReportShellError(UINT_PTR) {}
void CameraConnection::ShowMessage(UINT) {}
HWND CameraConnection::OwnerWindow() const { return nullptr; }
void CameraConnection::ForgetOwnerView(IShellView*) {}
void CameraConnection::FreeFileList() {}
void CameraConnection::RefreshOwnerView() {}
CameraConnection* AcquireCameraConnection(IShellView*) { return nullptr; }
void ReleaseCameraConnection() {}
bool ReadProductName(char*, DWORD) { return false; }
INT_PTR CALLBACK ConnectDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
int __cdecl ConnectAbortProc(void) { return 0; }
