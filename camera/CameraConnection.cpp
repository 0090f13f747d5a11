// The shared connection object: its life, the link, and the camera's file listing.
#include "camera/CameraConnection.h"
#include <new>
#include <utility>
#include "resources/resource.h"

CameraConnection* g_pConnection = nullptr;
LONG g_cConnectionUsers = 0;

namespace {
// More files than this is not a listing a camera can hold: the count is taken as garbage.
const unsigned kMaxListedFiles = 65535;
// Guards creating, counting and destroying the shared connection.
SRWLOCK g_connectionLock = SRWLOCK_INIT;

// The unit's top-level window is disabled while the connect dialog is up, as under a modal
// dialog: it can be neither closed nor commanded in the middle of a connect.
class DisabledOwner {
public:
    explicit DisabledOwner(HWND owner) : m_hwnd(owner ? GetAncestor(owner, GA_ROOT) : nullptr)
    {
        if (m_hwnd && IsWindowEnabled(m_hwnd)) EnableWindow(m_hwnd, FALSE);
        else m_hwnd = nullptr;
    }
    ~DisabledOwner()
    {
        if (m_hwnd) EnableWindow(m_hwnd, TRUE);
    }
    DisabledOwner(const DisabledOwner&) = delete;
    DisabledOwner& operator=(const DisabledOwner&) = delete;

private:
    HWND m_hwnd;
};
}  // namespace

// Starts with the link closed and no unit running.
CameraConnection::CameraConnection() : m_hWorkMutex(CreateMutexA(nullptr, FALSE, nullptr))
{
    if (FAILED(SHGetMalloc(m_pMalloc.GetAddressOf()))) m_pMalloc.Reset();
}

// Closes the link and frees the listing before the allocator goes.
CameraConnection::~CameraConnection()
{
    Disconnect();
    FreeFileList();
}

// Hands out the shared connection, creating it on first use.
CameraConnection* AcquireCameraConnection()
{
    AcquireSRWLockExclusive(&g_connectionLock);
    if (!g_pConnection) {
        CameraConnection* connection = new (std::nothrow) CameraConnection();
        if (connection && (!connection->m_pMalloc || !connection->m_hWorkMutex)) {
            delete connection;
            connection = nullptr;
        }
        g_pConnection = connection;
    }
    ++g_cConnectionUsers;
    CameraConnection* connection = g_pConnection;
    ReleaseSRWLockExclusive(&g_connectionLock);
    return connection;
}

// Gives one use back; the last one destroys the connection.
void ReleaseCameraConnection()
{
    AcquireSRWLockExclusive(&g_connectionLock);
    CameraConnection* last = nullptr;
    if (g_cConnectionUsers > 0 && --g_cConnectionUsers == 0) last = std::exchange(g_pConnection, nullptr);
    ReleaseSRWLockExclusive(&g_connectionLock);
    delete last;
}

// Opens the link: the quick link type first, then the slow search under the connect dialog.
bool CameraConnection::Connect()
{
    LinkLock lock(this);
    if (m_fConnected) return true;
    // A connect already running pumps messages; a second one would enter the library twice.
    if (m_fConnecting) return false;
    m_fConnecting = true;
    g_fConnectCancelled = false;
    const ComStatus status = OpenLink();
    // A Cancel that comes after the connect ended must not abort the link's later calls.
    g_fConnectCancelled = false;
    m_fConnecting = false;
    if (status != ZQ_STATUS_OK) {
        ReportComStatus(status);
        return false;
    }
    m_fConnected = true;
    return true;
}

// The library's side of a connect, under the wait cursor; the dialog goes when it is done.
ComStatus CameraConnection::OpenLink()
{
    ComStatus status;
    {
        WaitCursor wait;
        status = m_fLinkType1 ? ZQ_STATUS_PORT_UNAVAILABLE : ZQ_OpenComm(ZqLinkUsb);
        if (status == ZQ_STATUS_NOT_LOCATED || status == ZQ_STATUS_PORT_UNAVAILABLE) status = OpenSlowLink();
        if (status == ZQ_STATUS_OK && !m_fLinkType1) ZQ_StopAcquisition();
        ZQ_SetAcquisitionMode(0);
    }
    if (g_hwndConnectDialog) DestroyWindow(g_hwndConnectDialog);
    g_hwndConnectDialog = nullptr;
    return status;
}

// The second attempt on link type 1, with the connect dialog and its Cancel button.
ComStatus CameraConnection::OpenSlowLink()
{
    const HWND owner = OwnerWindow();
    DisabledOwner disabled(owner);
    g_hwndConnectDialog = CreateDialogParamA(g_hinstModule, MAKEINTRESOURCEA(IDD_CONNECT), owner, ConnectDialogProc, 0);
    if (!m_fLinkType1) {
        ZQ_SetStatusAbortProc(ConnectAbortProc);
        if (g_hwndConnectDialog) ShowWindow(g_hwndConnectDialog, SW_SHOW);
    }
    if (g_fConnectCancelled) return ZQ_STATUS_ABORTED;
    const ComStatus status = ZQ_OpenComm(ZqLinkPorts);
    if (status == ZQ_STATUS_OK) m_fLinkType1 = true;
    return status;
}

// Closes the link; true when it was closed already or the camera agreed.
bool CameraConnection::Disconnect()
{
    LinkLock lock(this);
    if (!m_fConnected) return true;
    FreeFileList();
    m_fConnected = false;
    return ZQ_CloseComm() == ZQ_STATUS_OK;
}

// Yields the camera's files one by one; the first call fetches the listing.
bool CameraConnection::NextFileEntry(CameraFileEntry* entry, bool first)
{
    if (!entry) return false;
    LinkLock lock(this);
    if (!EnsureLink()) return false;
    if (first) {
        if (!ReadFileList()) return false;
        m_iCurrent = 0;
    } else {
        if (!m_pFileList || m_iCurrent + 1 >= m_cFiles) {
            m_fNotAvailableTold = false;  // a listing that reached its end met no gone file
            return false;
        }
        ++m_iCurrent;
    }
    const char* name = m_pFileList + static_cast<size_t>(m_iCurrent) * ZQ_LIST_RECORD;
    entry->pszName = name;
    unsigned size = 0;
    const ComStatus status = ZQ_GetFileSize(name, &size);
    if (status != ZQ_STATUS_OK) {
        ReportComStatus(status);
        return false;
    }
    entry->dwSize = size;
    if (size == 0) {
        // The refresh this news asks for meets the same file again: the user hears of it once.
        m_fListing = true;
        ReportTransferError(kTransferFileNotAvailable);
        m_fListing = false;
        return false;
    }
    return true;
}

// Fetches the count and the names; false when the camera holds no file or the listing failed.
bool CameraConnection::ReadFileList()
{
    return FetchFileList() && m_cFiles > 0;
}

// Fetches the count and the names; the camera lists names in 13-byte records. True when the
// listing was read, also when it holds no file; false (reported) when it could not be read.
bool CameraConnection::FetchFileList()
{
    unsigned count = 0;
    ComStatus status = ZQ_GetNumFiles(&count);
    if (status != ZQ_STATUS_OK) {
        ReportComStatus(status);
        return false;
    }
    FreeFileList();
    if (count == 0) {
        m_fNotAvailableTold = false;
        return true;
    }
    if (count > kMaxListedFiles) {
        ReportComStatus(ZQ_STATUS_COMM_ERROR);
        return false;
    }
    const size_t bytes = static_cast<size_t>(count) * ZQ_LIST_RECORD + 1;
    MallocPtr<char> list(m_pMalloc.Get(), static_cast<char*>(m_pMalloc->Alloc(bytes)));
    if (!list) {
        ReportTransferError(kTransferNoMemory);
        return false;
    }
    ZeroMemory(list.Get(), bytes);
    status = ZQ_GetFiles(list.Get(), static_cast<unsigned>(bytes));
    if (status != ZQ_STATUS_OK) {
        ReportComStatus(status);
        return false;
    }
    // Every name field ends at its separator byte, and the list at its end mark, whatever the camera wrote.
    for (unsigned i = 0; i < count; ++i) list.Get()[static_cast<size_t>(i) * ZQ_LIST_RECORD + ZQ_NAME_MAX] = '\0';
    list.Get()[bytes - 1] = '\0';
    FreeFileList();
    m_pFileList = list.Release();
    m_cFiles = CountNamedRecords(m_pFileList, count);
    if (m_cFiles == 0) FreeFileList();
    return true;
}

// The listing ends at its first record without a name: what follows is not a file.
DWORD CameraConnection::CountNamedRecords(const char* list, DWORD count)
{
    DWORD named = 0;
    while (named < count && list[static_cast<size_t>(named) * ZQ_LIST_RECORD] != '\0') ++named;
    return named;
}

// Frees the listing buffer, if any.
void CameraConnection::FreeFileList()
{
    if (m_pFileList && m_pMalloc) m_pMalloc->Free(m_pFileList);
    m_pFileList = nullptr;
    m_cFiles = 0;
    m_iCurrent = 0;
}

// The running unit's window, or none when there is no unit, no window or the window is gone.
HWND CameraConnection::OwnerWindow() const
{
    return m_hwndOwner && IsWindow(m_hwndOwner) ? m_hwndOwner : nullptr;
}

// The message that asks a camera window to list the camera again.
UINT CameraRefreshMessage()
{
    static const UINT message = RegisterWindowMessageA("Lumora.RefreshCameraList");
    return message;
}
