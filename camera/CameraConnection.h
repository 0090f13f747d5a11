// The one shared link to the camera: connecting, listing, moving file bytes, and
// turning every failure into a message box for the user.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include "camera/ZqApi.h"
#include "base/ModuleState.h"
#include "base/Raii.h"

class TempCopyFolder;

// One file of the camera's listing.
// The extension's own transfer failures; each shows message 2000 + its code.
enum TransferError : int {
    kTransferNoMemory = 0,            // the PC's memory ran out
    kTransferCopyFailed = 2,          // a temporary copy could not be made or written
    kTransferFileNotAvailable = 3,    // no text: the not-available message, then a new listing
    kTransferCameraFull = 4,          // the camera's memory is full
};

// The first firmware major version that reads and writes files of more than one segment.
constexpr int kFirstSegmentedMajor = 4;

// Private codes of ReportShellError, beside the results of ShellExecute.
constexpr UINT_PTR kShellOutOfMemory = 0xFFA0;       // message 2000
constexpr UINT_PTR kShellLargeFileRefused = 0xFFA1;  // message 2005: the firmware takes no segments

struct CameraFileEntry {
    DWORD dwSize;         // bytes, as the camera reports them
    const char* pszName;  // inside the listing buffer; valid until the next first call
};

class CameraConnection {
public:
    // Units of work (see CameraWork): the connection belongs to one unit at a time. A unit
    // on another thread waits for the running one; units nest on one thread. The outermost
    // unit's end closes the link unless it was opened on link type 1.
    HWND BeginWork(HWND owner);
    void EndWork(HWND previousOwner);

    // Link.
    bool Connect();
    bool Disconnect();
    // A view going inactive: the link closes now, or at the end of the unit that runs.
    void DisconnectWhenIdle();
    bool NextFileEntry(CameraFileEntry* entry, bool first);
    // The camera's names as it lists them now (no sizes asked), each given to visit; false
    // (the user was told) when the listing could not be read. An empty camera lists nothing.
    template <typename Visit> bool VisitCameraNames(Visit visit);
    bool IsConnected() const { return m_fConnected; }
    bool IsLinkType1() const { return m_fLinkType1; }

    // File operations.
    bool DeleteCameraFile(const char* name);
    bool ReceiveCameraFile(const char* name, DWORD size, BYTE* buffer);
    ComStatus BeginSegmentedReceive(const char* name, DWORD segmentSize);
    ComStatus ReceiveSegment(DWORD size, BYTE* buffer);
    // Copies into folder, by default the folder that every Open shares.
    bool CopyToTempFile(const char* name, wchar_t* path /* MAX_PATH chars */, bool readOnly, TempCopyFolder* folder = nullptr);
    bool OpenCameraFile(const char* name);
    ComStatus PutCameraFile(const char* name, DWORD size, const BYTE* data);
    ComStatus BeginSegmentedPut(const char* name, DWORD totalSize);
    ComStatus PutSegment(DWORD size, const BYTE* data);
    bool QueryFirmwareVersion(int* major, int* minor, int* build);
    DWORD QueryMediaFree();

    // The about box, parented to hwndParent; returns when it is closed.
    void ShowAboutBox(HWND hwndParent);

    // Reports to the user.
    void ReportComStatus(ComStatus status);
    void ReportTransferError(int code /* a TransferError */);
    void ReportShellError(UINT_PTR code);
    void ShowMessage(UINT id);
    // The message id with insert in place of its %s, wide: a path or a name may hold any script.
    void ShowMessageWith(UINT id, const wchar_t* insert);
    // The folder of temporary copies (named in the message) cannot hold a copy.
    void ReportTempFolderUnusable(const wchar_t* folder);

    // The window of the running unit (parent of its dialogs and messages), while it exists.
    HWND OwnerWindow() const;

private:
    friend CameraConnection* AcquireCameraConnection();
    friend void ReleaseCameraConnection();
    friend class LinkLock;
    CameraConnection();
    ~CameraConnection();
    CameraConnection(const CameraConnection&) = delete;
    CameraConnection& operator=(const CameraConnection&) = delete;

    void Lock();
    bool TryLock();
    void TakeOwnership();
    void Unlock();
    bool EnsureLink() { return m_fConnected || Connect(); }
    ComStatus OpenLink();
    ComStatus OpenSlowLink();
    bool ReadFileList();
    bool FetchFileList();
    static DWORD CountNamedRecords(const char* list, DWORD count);
    bool PrepareCopyPath(const char* name, TempCopyFolder& folder, wchar_t* path);
    bool ReceiveIntoFile(const char* name, DWORD size, DWORD chunk, bool segmented, BYTE* buffer, HANDLE file);
    ComStatus ReceiveChunk(const char* name, DWORD chunk, BYTE* buffer, bool segmented, bool firstPass);
    void ShowMessageBox(const char* text);
    void FreeFileList();
    void ReportNotAvailable();

    ModuleObjectCount m_moduleCount;
    KernelHandle m_hWorkMutex;         // held by the running unit (and by each operation)
    LONG volatile m_dwLockOwner = 0;   // the thread that holds the mutex, 0 for none
    LONG m_cLockDepth = 0;             // holds of that thread: the mutex goes back at 0
    LONG m_cWorkDepth = 0;             // units nested on the holding thread
    HWND m_hwndOwner = nullptr;        // the running unit's window, not owned
    LONG volatile m_fDisconnectRequested = 0;  // close the link when the running unit ends
    char* m_pFileList = nullptr;       // the last listing: count x 13 bytes + end mark
    DWORD m_cFiles = 0;                // records in m_pFileList
    DWORD m_iCurrent = 0;              // record that pszName points at
    bool m_fConnected = false;
    bool m_fLinkType1 = false;         // a connect succeeded on link type 1; sticks
    bool m_fConnecting = false;        // a connect is running (its dialog pumps messages)
    bool m_fNotAvailableTold = false;  // the user was told a listed file is gone; listings stay quiet
    bool m_fListing = false;           // NextFileEntry is reading the camera
    ComPtr<IMalloc> m_pMalloc;
};

// Holds the connection for one operation: a unit on another thread waits until it ends.
class LinkLock {
public:
    explicit LinkLock(CameraConnection* connection) : m_pConnection(connection) { m_pConnection->Lock(); }
    ~LinkLock() { m_pConnection->Unlock(); }
    LinkLock(const LinkLock&) = delete;
    LinkLock& operator=(const LinkLock&) = delete;

private:
    CameraConnection* m_pConnection;
};

template <typename Visit> bool CameraConnection::VisitCameraNames(Visit visit)
{
    LinkLock lock(this);
    if (!EnsureLink() || !FetchFileList()) return false;
    for (DWORD i = 0; i < m_cFiles; ++i) visit(static_cast<const char*>(m_pFileList + static_cast<size_t>(i) * ZQ_LIST_RECORD));
    return true;
}

// The shared connection: the first call creates it. Null when it cannot be made; the
// caller releases its use in every case.
CameraConnection* AcquireCameraConnection();
// Gives one use back; the last one closes the link and destroys the connection.
void ReleaseCameraConnection();

// Module-wide state of the link.
extern CameraConnection* g_pConnection;
extern LONG g_cConnectionUsers;
extern bool volatile g_fConnectCancelled;
extern HWND g_hwndConnectDialog;

// Posted to a unit's window when a file it met is gone and the window should list the camera again.
UINT CameraRefreshMessage();

INT_PTR CALLBACK ConnectDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
int __cdecl ConnectAbortProc(void);
