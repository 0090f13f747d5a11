// The one shared link to the camera: connecting, listing, moving file bytes, and
// turning every failure into a message box for the user.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include "camera/ZqApi.h"
#include "module/Module.h"
#include "module/Raii.h"

// One file of the camera's listing.
struct CameraFileEntry {
    DWORD dwSize;         // bytes, as the camera reports them
    const char* pszName;  // inside the listing buffer; valid until the next first call
};

class CameraConnection {
public:
    // Link.
    bool Connect();
    bool Disconnect();
    bool NextFileEntry(CameraFileEntry* entry, bool first);
    bool IsConnected() const { return m_fConnected; }
    bool IsLinkType1() const { return m_fLinkType1; }

    // File operations.
    bool DeleteCameraFile(const char* name);
    bool ReceiveCameraFile(const char* name, DWORD size, BYTE* buffer);
    ComStatus BeginSegmentedReceive(const char* name, DWORD segmentSize);
    ComStatus ReceiveSegment(DWORD size, BYTE* buffer);
    bool CopyToTempFile(const char* name, char* path /* MAX_PATH chars */, bool readOnly);
    bool OpenCameraFile(const char* name);
    ComStatus PutCameraFile(const char* name, DWORD size, const BYTE* data);
    ComStatus BeginSegmentedPut(const char* name, DWORD totalSize);
    ComStatus PutSegment(DWORD size, const BYTE* data);
    bool QueryFirmwareVersion(int* major, int* minor, int* build);
    DWORD QueryMediaFree();

    // Reports to the user.
    void ReportComStatus(ComStatus status);
    void ReportTransferError(int code);
    void ReportShellError(UINT_PTR code);
    void ShowMessage(UINT id);

    // The owner view: parent of the dialogs and messages, refreshed when a file is gone.
    IShellView* OwnerView() const { return m_pOwnerView; }
    HWND OwnerWindow() const;
    // The owner tells the connection it is going away: no parent, no refresh from now on.
    void ForgetOwnerView(IShellView* owner);

private:
    friend CameraConnection* AcquireCameraConnection(IShellView* owner);
    friend void ReleaseCameraConnection();
    explicit CameraConnection(IShellView* owner);
    ~CameraConnection();
    CameraConnection(const CameraConnection&) = delete;
    CameraConnection& operator=(const CameraConnection&) = delete;

    bool EnsureLink() { return m_fConnected || Connect(); }
    ComStatus OpenLink();
    ComStatus OpenSlowLink();
    bool ReadFileList();
    bool ReceiveIntoFile(const char* name, DWORD size, DWORD chunk, bool segmented, BYTE* buffer, HANDLE file);
    ComStatus ReceiveChunk(const char* name, DWORD chunk, BYTE* buffer, bool segmented, bool firstPass);
    void ShowMessageBox(const char* text);
    void FreeFileList();
    void RefreshOwnerView();

    ModuleObjectCount m_moduleCount;
    char* m_pFileList = nullptr;       // the last listing: count x 13 bytes + end mark
    DWORD m_cFiles = 0;                // records in m_pFileList
    DWORD m_iCurrent = 0;              // record that pszName points at
    bool m_fConnected = false;
    bool m_fLinkType1 = false;         // a connect succeeded on link type 1; sticks
    bool m_fConnecting = false;        // a connect is running (its dialog pumps messages)
    ComPtr<IMalloc> m_pMalloc;
    IShellView* m_pOwnerView = nullptr;  // not counted
    bool m_fRefreshing = false;        // the owner's refresh is running
};

// The shared connection: the first call creates it and fixes its owner view.
CameraConnection* AcquireCameraConnection(IShellView* owner);
// Gives one use back; the last one closes the link and destroys the connection.
void ReleaseCameraConnection();

// The product's display name from the registry (buffer of capacity bytes, at most 100).
bool ReadProductName(char* name, DWORD capacity);

// Module-wide state of the link.
extern CameraConnection* g_pConnection;
extern LONG g_cConnectionUsers;
extern bool g_fConnectCancelled;
extern HWND g_hwndConnectDialog;

INT_PTR CALLBACK ConnectDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
int __cdecl ConnectAbortProc(void);
