// The simulated camera: the link, its storage, the transfers in progress, the scripted
// behaviour and the call log. One instance serves the whole process.
#pragma once
#include "pelcore/CallLog.h"
#include "pelcore/FailureScript.h"
#include "pelcore/FolderStorage.h"
#include "pelcore/LinkTiming.h"
#include "pelcore/MemoryStorage.h"
#include "pelcore/SegmentedTransfer.h"
#include <memory>
#include <new>

class SimCamera {
public:
    SimCamera();
    ~SimCamera();
    SimCamera(const SimCamera&) = delete;
    SimCamera& operator=(const SimCamera&) = delete;

    // Runs one library call under the lock: logged as it begins, a scripted failure
    // instead of the work, and no exception leaves it.
    template <typename Work>
    ComStatus Call(const char* function, const char* name, unsigned size, int arg, Work work)
    {
        return Run(function, name, size, arg, 0, work);
    }

    // A call that moves size bytes over the link: it lasts as long as they take.
    template <typename Work> ComStatus Transfer(const char* function, const char* name, unsigned size, Work work)
    {
        return Run(function, name, size, 0, size, work);
    }

    // Runs a scripting call under the lock; scripting ends demo mode.
    template <typename Fn> auto Script(Fn fn) -> decltype(fn(*this))
    {
        Lock lock(m_lock);
        EndDemo();
        return fn(*this);
    }

    // Runs an inspection under the lock.
    template <typename Fn> auto Inspect(Fn fn) -> decltype(fn(*this))
    {
        Lock lock(m_lock);
        return fn(*this);
    }

    // The library calls.
    ComStatus Open(int linkType);
    ComStatus Close();
    ComStatus SetAbortProc(ZqAbortProc abortProc);
    ComStatus SetAcquisitionMode(unsigned mode);
    ComStatus StopAcquisition();
    ComStatus GetNumFiles(unsigned* count);
    ComStatus GetFiles(char* buffer, unsigned size);
    ComStatus GetFileSize(const char* name, unsigned* size);
    ComStatus ReceiveFile(const char* name, unsigned size, unsigned char* buffer);
    ComStatus BeginSegmentedRead(unsigned segmentSize, const char* name);
    ComStatus ReadSegment(unsigned size, unsigned char* buffer);
    ComStatus PutFile(unsigned size, const unsigned char* data, const char* name);
    ComStatus BeginSegmentedWrite(unsigned totalSize, const char* name);
    ComStatus WriteSegment(unsigned size, const unsigned char* data);
    ComStatus DeleteFile(const char* name);
    ComStatus GetFirmwareVersion(char* text);
    ComStatus GetMediaFree(unsigned* freeKiB);

    // Scripting and inspection.
    void Reset();
    MemoryStorage& Store() { return m_store; }
    CameraStorage& Storage() { return m_pFolder ? static_cast<CameraStorage&>(*m_pFolder) : m_store; }
    CallLog& Log() { return m_log; }
    FailureScript& Failures() { return m_failures; }
    void SetFirmware(const char* text);
    void SetFirmwareRaw(const char bytes[ZQ_FIRMWARE_TEXT]);
    void SetOpenResult(int linkType, ComStatus status, unsigned abortPolls);
    void SetLinkTiming(const LinkTiming& timing) { m_scriptedTiming = timing; }
    void KeepInterruptedWrites(bool keep) { m_fKeepInterruptedWrites = keep; }
    void SetReportedCount(long long count) { m_reportedCount = count; }
    void SetListingEndMark(int byteValue) { m_endMark = byteValue; }
    bool IsLinkOpen() const { return m_fLinkOpen; }
    bool HasAbortProc() const { return m_abortProc != nullptr; }
    void AllowDemo() { m_fDemoAllowed = true; }

private:
    // Holds the camera's lock (re-entrant: the abort callback may call back in).
    class Lock {
    public:
        explicit Lock(CRITICAL_SECTION& section) : m_section(section) { EnterCriticalSection(&m_section); }
        ~Lock() { LeaveCriticalSection(&m_section); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        CRITICAL_SECTION& m_section;
    };

    struct OpenResult {
        ComStatus status;
        unsigned abortPolls;
    };

    template <typename Work>
    ComStatus Run(const char* function, const char* name, unsigned size, int arg, unsigned bytes, Work& work)
    {
        const double startMs = LinkTiming::NowMs();
        Lock lock(m_lock);
        const size_t entry = m_log.Begin(function, name, size, arg);
        ComStatus status = ZQ_STATUS_OK;
        if (!m_failures.Match(function, &status)) status = WaitOut(startMs, bytes) ? AbortCall() : RunGuarded(work);
        m_log.Finish(entry, status);
        return status;
    }

    template <typename Work> static ComStatus RunGuarded(Work& work)
    {
        try {
            return work();
        } catch (...) {  // out of memory for a transfer's bytes
            return PELSIM_STATUS_IO_ERROR;
        }
    }

    bool WaitForLink(unsigned abortPolls);
    bool WaitOut(double startMs, unsigned bytes) const;
    ComStatus AbortCall();
    const LinkTiming& Timing() const { return m_pFolder ? m_demoTiming : m_scriptedTiming; }
    ComStatus AttachStorage();
    void EndDemo();
    void EndTransfers();
    void EndRead();
    void EndWrite();
    unsigned ListedCount(const std::vector<ListingRecord>& records) const;

    CRITICAL_SECTION m_lock;
    MemoryStorage m_store;
    std::unique_ptr<FolderStorage> m_pFolder;  // the demo folder while it plays the camera
    bool m_fDemoAllowed = true;                // until the first scripting call
    LinkTiming m_demoTiming;                   // the demo folder's link, from the registry
    LinkTiming m_scriptedTiming;               // the memory camera's link, as a test sets it
    bool m_fLinkOpen = false;
    bool m_fKeepInterruptedWrites = false;     // an unfinished write stores what arrived
    bool m_fOpening = false;
    ZqAbortProc m_abortProc = nullptr;
    OpenResult m_openResults[2] = {};
    char m_firmware[ZQ_FIRMWARE_TEXT] = {};
    long long m_reportedCount = -1;
    int m_endMark = -1;
    SegmentedTransfer m_read;
    SegmentedTransfer m_write;
    std::unique_ptr<StorageReader> m_pReader;  // where the open segmented read's bytes come from
    std::unique_ptr<StorageWriter> m_pWriter;  // where the open segmented write's bytes go
    CallLog m_log;
    FailureScript m_failures;
};

// The camera of this process.
SimCamera& TheCamera();
