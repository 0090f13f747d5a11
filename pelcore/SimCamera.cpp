// The simulated camera behind the library's calls.
#include "pelcore/SimCamera.h"
#include "base/Raii.h"
#include <cstring>

namespace {

const char c_szDemoKey[] = "Software\\Lumora Camera Simulator";
const char c_szStorageFolder[] = "StorageFolder";
const char c_szBytesPerSecond[] = "BytesPerSecond";
const char c_szCallLatencyMs[] = "CallLatencyMs";
const char c_szDefaultFirmware[] = "4.0.1";
const unsigned c_defaultFreeKiB = 65536;

// A name a call may pass: 1 to 12 characters.
bool IsValidName(const char* name)
{
    if (!name) return false;
    const size_t length = strnlen(name, ZQ_NAME_MAX + 1);
    return length > 0 && length <= ZQ_NAME_MAX;
}

// An optional REG_DWORD of the demo key; 0 when it is absent or of another type.
DWORD ReadDemoNumber(HKEY key, const char* name)
{
    DWORD value = 0;
    DWORD type = 0;
    DWORD cb = sizeof(value);
    const bool read = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &cb) == ERROR_SUCCESS;
    return read && type == REG_DWORD ? value : 0;
}

// The demo settings under HKEY_CURRENT_USER; false when there is no storage folder.
bool ReadDemoSettings(std::string& folder, LinkTiming& timing)
{
    RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, c_szDemoKey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return false;
    char path[MAX_PATH + 1] = {};
    DWORD type = 0;
    DWORD cb = MAX_PATH;
    if (RegQueryValueExA(key.Get(), c_szStorageFolder, nullptr, &type, reinterpret_cast<BYTE*>(path), &cb) != ERROR_SUCCESS ||
        type != REG_SZ || path[0] == '\0') {
        return false;
    }
    folder = path;
    timing = LinkTiming(ReadDemoNumber(key.Get(), c_szBytesPerSecond), ReadDemoNumber(key.Get(), c_szCallLatencyMs));
    return true;
}

}  // namespace

SimCamera& TheCamera()
{
    static SimCamera s_camera;
    return s_camera;
}

SimCamera::SimCamera()
{
    InitializeCriticalSection(&m_lock);
    SetFirmware(c_szDefaultFirmware);
    m_store.SetFree(c_defaultFreeKiB);
}

// An unfinished write leaves nothing behind, not even at the end of the process.
SimCamera::~SimCamera()
{
    EndTransfers();
    DeleteCriticalSection(&m_lock);
}

// Back to a fresh camera, demo mode off.
void SimCamera::Reset()
{
    EndDemo();
    EndTransfers();
    m_store.Clear();
    m_store.SetFree(c_defaultFreeKiB);
    m_fLinkOpen = false;
    m_abortProc = nullptr;
    m_scriptedTiming = LinkTiming();
    m_fKeepInterruptedWrites = false;
    SetFirmware(c_szDefaultFirmware);
    m_openResults[0] = m_openResults[1] = OpenResult{ZQ_STATUS_OK, 0};
    m_reportedCount = -1;
    m_endMark = -1;
    m_failures.Clear();
    m_log.Clear();
}

void SimCamera::EndDemo()
{
    if (m_pFolder) EndTransfers();  // a transfer of the demo folder must not outlive it
    m_fDemoAllowed = false;
    m_pFolder.reset();
    m_demoTiming = LinkTiming();
}

// Drops any segmented transfer in progress; an unfinished write stores nothing, unless this
// camera keeps what arrived.
void SimCamera::EndTransfers()
{
    EndRead();
    if (m_fKeepInterruptedWrites && m_write.IsOpen() && m_pWriter) m_pWriter->Commit();
    EndWrite();
}

// Drops the segmented read and what it held of the file.
void SimCamera::EndRead()
{
    m_read.End();
    m_pReader.reset();
}

// Drops the segmented write and the bytes written for it.
void SimCamera::EndWrite()
{
    m_write.End();
    m_pWriter.reset();
}

// The firmware text, zero-padded to the 32 bytes the camera sends.
void SimCamera::SetFirmware(const char* text)
{
    memset(m_firmware, 0, sizeof(m_firmware));
    if (text) memcpy(m_firmware, text, strnlen(text, sizeof(m_firmware) - 1));
}

void SimCamera::SetFirmwareRaw(const char bytes[ZQ_FIRMWARE_TEXT])
{
    if (bytes) memcpy(m_firmware, bytes, sizeof(m_firmware));
}

void SimCamera::SetOpenResult(int linkType, ComStatus status, unsigned abortPolls)
{
    if (linkType == 0 || linkType == 1) m_openResults[linkType] = OpenResult{status, abortPolls};
}

// A slow open: polls the abort callback a couple of ms apart; true when it asked to abort.
bool SimCamera::WaitForLink(unsigned abortPolls)
{
    for (unsigned poll = 0; poll < abortPolls; ++poll) {
        Sleep(2);
        if (m_abortProc && m_abortProc() != 0) return true;
    }
    return false;
}

// Opens the link on the demo folder when the registry names one, else on the memory.
ComStatus SimCamera::AttachStorage()
{
    EndTransfers();
    m_pFolder.reset();
    std::string folder;
    LinkTiming timing;
    if (m_fDemoAllowed && ReadDemoSettings(folder, timing)) {
        auto pFolder = std::make_unique<FolderStorage>(folder);
        if (!pFolder->Exists()) return ZQ_STATUS_NOT_LOCATED;
        m_pFolder = std::move(pFolder);
        m_demoTiming = timing;
    }
    m_fLinkOpen = true;
    return ZQ_STATUS_OK;
}

// Waits out the call's latency and bytes at the link's rate, polling the abort callback;
// true when it asked to abort.
bool SimCamera::WaitOut(double startMs, unsigned bytes) const
{
    return Timing().Wait(startMs, bytes, m_abortProc);
}

// A call the abort callback stopped: it did nothing, and a segmented transfer in progress is
// dropped (a write stores nothing).
ComStatus SimCamera::AbortCall()
{
    EndTransfers();
    return ZQ_STATUS_ABORTED;
}

// The count the camera reports: the scripted one, or the number of listing records.
unsigned SimCamera::ListedCount(const std::vector<ListingRecord>& records) const
{
    return m_reportedCount >= 0 ? static_cast<unsigned>(m_reportedCount) : static_cast<unsigned>(records.size());
}

ComStatus SimCamera::Open(int linkType)
{
    if (linkType != ZqLinkUsb && linkType != ZqLinkPorts) return PELSIM_STATUS_BAD_ARGUMENT;
    if (m_fLinkOpen || m_fOpening) return ZQ_STATUS_IN_USE;
    const OpenResult result = m_openResults[linkType];
    m_fOpening = true;
    const bool aborted = WaitForLink(result.abortPolls);
    m_fOpening = false;
    if (aborted) return ZQ_STATUS_ABORTED;
    if (result.status != ZQ_STATUS_OK) return result.status;
    return AttachStorage();
}

ComStatus SimCamera::Close()
{
    if (!m_fLinkOpen) return PELSIM_STATUS_LINK_CLOSED;
    EndTransfers();
    m_fLinkOpen = false;
    return ZQ_STATUS_OK;
}

// A null callback removes the callback.
ComStatus SimCamera::SetAbortProc(ZqAbortProc abortProc)
{
    m_abortProc = abortProc;
    return ZQ_STATUS_OK;
}

ComStatus SimCamera::SetAcquisitionMode(unsigned mode)
{
    if (!m_fLinkOpen) return PELSIM_STATUS_LINK_CLOSED;
    return OkOr(mode == 0, PELSIM_STATUS_BAD_ARGUMENT);
}

ComStatus SimCamera::StopAcquisition()
{
    return OkOr(m_fLinkOpen, PELSIM_STATUS_LINK_CLOSED);
}

ComStatus SimCamera::GetNumFiles(unsigned* count)
{
    if (!m_fLinkOpen) return PELSIM_STATUS_LINK_CLOSED;
    if (!count) return PELSIM_STATUS_BAD_ARGUMENT;
    std::vector<ListingRecord> records;
    const ComStatus status = Storage().List(records);
    if (status == ZQ_STATUS_OK) *count = ListedCount(records);
    return status;
}

// Writes count 13-byte records (zero records past the real files) and the end mark.
ComStatus SimCamera::GetFiles(char* buffer, unsigned size)
{
    if (!m_fLinkOpen) return PELSIM_STATUS_LINK_CLOSED;
    if (!buffer) return PELSIM_STATUS_BAD_ARGUMENT;
    std::vector<ListingRecord> records;
    const ComStatus status = Storage().List(records);
    if (status != ZQ_STATUS_OK) return status;
    const unsigned count = ListedCount(records);
    if (static_cast<unsigned long long>(count) * ZQ_LIST_RECORD + 1 != size) return PELSIM_STATUS_BAD_ARGUMENT;
    memset(buffer, 0, size);
    for (unsigned i = 0; i < count && i < records.size(); ++i) {
        memcpy(buffer + static_cast<size_t>(i) * ZQ_LIST_RECORD, records[i].name, ZQ_NAME_MAX);
        buffer[static_cast<size_t>(i) * ZQ_LIST_RECORD + ZQ_NAME_MAX] = records[i].separator;
    }
    buffer[size - 1] = static_cast<char>(m_endMark >= 0 ? m_endMark : 0);
    return ZQ_STATUS_OK;
}

ComStatus SimCamera::GetFileSize(const char* name, unsigned* size)
{
    if (!m_fLinkOpen) return PELSIM_STATUS_LINK_CLOSED;
    if (!IsValidName(name) || !size) return PELSIM_STATUS_BAD_ARGUMENT;
    return Storage().ReportedSize(name, size);
}

// The whole file in one call: size must be the file's exact size.
ComStatus SimCamera::ReceiveFile(const char* name, unsigned size, unsigned char* buffer)
{
    if (!m_fLinkOpen) return PELSIM_STATUS_LINK_CLOSED;
    if (!IsValidName(name) || !buffer) return PELSIM_STATUS_BAD_ARGUMENT;
    unsigned contentSize = 0;
    ComStatus status = Storage().ContentSize(name, &contentSize);
    if (status != ZQ_STATUS_OK) return status;
    if (size != contentSize) return PELSIM_STATUS_BAD_ARGUMENT;
    return Storage().Read(name, 0, buffer, size);
}

// Opens a segmented read of the whole file; segments must be 524288 bytes.
ComStatus SimCamera::BeginSegmentedRead(unsigned segmentSize, const char* name)
{
    if (!m_fLinkOpen) return PELSIM_STATUS_LINK_CLOSED;
    if (!IsValidName(name) || segmentSize != ZQ_SEGMENT_SIZE) return PELSIM_STATUS_BAD_ARGUMENT;
    unsigned contentSize = 0;
    const ComStatus status = Storage().ContentSize(name, &contentSize);
    if (status != ZQ_STATUS_OK) return status;
    EndTransfers();
    const ComStatus opened = Storage().BeginRead(name, m_pReader);
    if (opened == ZQ_STATUS_OK) m_read.Begin(name, contentSize);
    return opened;
}

// The next segment of the open read; a wrong size ends the read.
ComStatus SimCamera::ReadSegment(unsigned size, unsigned char* buffer)
{
    if (!m_fLinkOpen) return PELSIM_STATUS_LINK_CLOSED;
    if (!buffer) return PELSIM_STATUS_BAD_ARGUMENT;
    if (!m_read.IsOpen() || size != m_read.NextSize()) {
        EndRead();
        return PELSIM_STATUS_OUT_OF_SEQUENCE;
    }
    const ComStatus status = m_pReader->ReadNext(buffer, size);
    if (status != ZQ_STATUS_OK) {
        EndRead();
        return status;
    }
    if (m_read.Advance(size)) EndRead();
    return ZQ_STATUS_OK;
}

// Stores a whole file when it fits the free space.
ComStatus SimCamera::PutFile(unsigned size, const unsigned char* data, const char* name)
{
    if (!m_fLinkOpen) return PELSIM_STATUS_LINK_CLOSED;
    if (!IsValidName(name) || (size && !data)) return PELSIM_STATUS_BAD_ARGUMENT;
    return Storage().Write(name, data, size);
}

// Opens a segmented write of totalSize bytes, when they fit the free space.
ComStatus SimCamera::BeginSegmentedWrite(unsigned totalSize, const char* name)
{
    if (!m_fLinkOpen) return PELSIM_STATUS_LINK_CLOSED;
    if (!IsValidName(name) || totalSize == 0) return PELSIM_STATUS_BAD_ARGUMENT;
    ComStatus status = Storage().CheckFits(name, totalSize);
    if (status != ZQ_STATUS_OK) return status;
    EndTransfers();
    status = Storage().BeginWrite(name, totalSize, m_pWriter);
    if (status == ZQ_STATUS_OK) m_write.Begin(name, totalSize);
    return status;
}

// The next segment of the open write goes to the storage at once; the last one stores the file.
ComStatus SimCamera::WriteSegment(unsigned size, const unsigned char* data)
{
    if (!m_fLinkOpen) return PELSIM_STATUS_LINK_CLOSED;
    if (!data) return PELSIM_STATUS_BAD_ARGUMENT;
    if (!m_write.IsOpen() || size != m_write.NextSize()) {
        EndWrite();
        return PELSIM_STATUS_OUT_OF_SEQUENCE;
    }
    ComStatus status = m_pWriter->Append(data, size);
    if (status == ZQ_STATUS_OK && !m_write.Advance(size)) return ZQ_STATUS_OK;
    if (status == ZQ_STATUS_OK) status = m_pWriter->Commit();
    EndWrite();
    return status;
}

ComStatus SimCamera::DeleteFile(const char* name)
{
    if (!m_fLinkOpen) return PELSIM_STATUS_LINK_CLOSED;
    if (!IsValidName(name)) return PELSIM_STATUS_BAD_ARGUMENT;
    return Storage().Delete(name);
}

// Always the full 32 bytes, whether or not they hold a terminator.
ComStatus SimCamera::GetFirmwareVersion(char* text)
{
    if (!m_fLinkOpen) return PELSIM_STATUS_LINK_CLOSED;
    if (!text) return PELSIM_STATUS_BAD_ARGUMENT;
    memcpy(text, m_firmware, sizeof(m_firmware));
    return ZQ_STATUS_OK;
}

ComStatus SimCamera::GetMediaFree(unsigned* freeKiB)
{
    if (!m_fLinkOpen) return PELSIM_STATUS_LINK_CLOSED;
    if (!freeKiB) return PELSIM_STATUS_BAD_ARGUMENT;
    return Storage().MediaFree(freeKiB);
}
