// The pictures of the view's photos made on a worker thread, one camera file at a time.
#include "view/ThumbnailJob.h"
#include <new>
#include <string>
#include "base/WindowThreadCall.h"
#include "base/WorkerThread.h"
#include "camera/CameraConnectionUse.h"
#include "camera/CameraWork.h"
#include "items/ThumbnailCache.h"
#include "items/ThumbnailPicture.h"

namespace {
// With nothing to do the worker asks the sink again this often, woken or not.
constexpr DWORD kIdleRecheckMs = 1000;

// Whether the camera reads files of more than one segment, asked once a job.
enum class SegmentedReads { Unknown, Yes, No };
}  // namespace

// What the window's thread and the worker share; the last of them to let go frees it.
class ThumbnailJob::State {
public:
    State(HWND hwndView, ThumbnailSink* sink, COLORREF background, const wchar_t* cacheRoot)
        : m_hwndView(hwndView), m_pSink(sink), m_background(background), m_cacheRoot(cacheRoot ? cacheRoot : L""),
          m_hWake(CreateEventA(nullptr, FALSE, FALSE, nullptr)), m_buffer(new (std::nothrow) BYTE[ZQ_SEGMENT_SIZE])
    {
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    bool IsReady() const { return m_windowThread && m_hWake && m_buffer; }
    void Run();
    void Stop();
    void Wake() { SetEvent(m_hWake.Get()); }
    WindowThreadCall& WindowThread() { return m_windowThread; }

private:
    bool NextRequest(ThumbnailRequest* request);
    bool AskSink(ThumbnailRequest* request);
    bool MakePicture(CameraConnection* connection, ThumbnailCache& cache, const ThumbnailRequest& request,
                     BitmapHandle* picture);
    bool ReadFileStart(CameraConnection* connection, const ThumbnailRequest& request, DWORD* read);
    bool CanReadStart(CameraConnection* connection, DWORD size);
    bool DeliverAndAsk(ThumbnailRequest* request, HBITMAP picture);
    bool Stopped() const { return InterlockedCompareExchange(const_cast<LONG*>(&m_fStop), 0, 0) != 0; }

    const HWND m_hwndView;
    ThumbnailSink* const m_pSink;  // used on the window's thread only, while the job lives
    const COLORREF m_background;
    const std::wstring m_cacheRoot;
    WindowThreadCall m_windowThread;  // made on the window's thread, closed there
    KernelHandle m_hWake;
    std::unique_ptr<BYTE[]> m_buffer;  // one segment: the most read of any file
    LONG volatile m_fStop = 0;
    CameraConnection* volatile m_pWorking = nullptr;  // the connection while the worker's unit runs
    SegmentedReads m_segmentedReads = SegmentedReads::Unknown;
};

// The worker: a picture for each file the sink names, until stopped or the camera is gone.
void ThumbnailJob::State::Run()
{
    ComApartment com(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    ThumbnailCache cache(m_cacheRoot.c_str());
    CameraConnectionUse use;
    ThumbnailRequest request = {};
    bool fRequested = false;
    while (!Stopped()) {
        if (!fRequested) fRequested = NextRequest(&request);
        if (!fRequested) {
            WaitForSingleObject(m_hWake.Get(), kIdleRecheckMs);
            continue;
        }
        BitmapHandle picture;
        if (!MakePicture(use.Get(), cache, request, &picture)) break;
        fRequested = DeliverAndAsk(&request, picture.Get());
    }
}

// Asks the sink on the window's thread.
bool ThumbnailJob::State::NextRequest(ThumbnailRequest* request)
{
    bool found = false;
    auto ask = [&] { found = AskSink(request); };
    return m_windowThread.Run(ask) && found;
}

// On the window's thread: the sink's next file; none once the job is stopped.
bool ThumbnailJob::State::AskSink(ThumbnailRequest* request)
{
    return !Stopped() && m_pSink->NextThumbnailRequest(request);
}

// The picture of one file: the cache's, else made from the file's start and kept. A file
// that could not be read gets none and is not kept (the next window tries again). False
// when the job is to end: stopped, or the camera cannot be reached.
bool ThumbnailJob::State::MakePicture(CameraConnection* connection, ThumbnailCache& cache,
                                      const ThumbnailRequest& request, BitmapHandle* picture)
{
    if (cache.Find(request.name, request.size, picture) != CachedThumbnail::Miss) return true;
    DWORD read = 0;
    if (!ReadFileStart(connection, request, &read)) return false;
    if (read == 0) return true;
    *picture = MakeFilePicture(m_buffer.get(), read, read == request.size, m_background);
    cache.Store(request.name, request.size, picture->Get());
    return true;
}

// One quiet unit of camera work that reads the file's start: its *read bytes (0 when it
// could not be read). False when stopped or the link could not be opened.
bool ThumbnailJob::State::ReadFileStart(CameraConnection* connection, const ThumbnailRequest& request, DWORD* read)
{
    StoppableLinkLock hold(connection, &m_fStop);
    if (!hold) return false;
    CameraWork work(connection, m_hwndView, &m_windowThread, true);
    m_pWorking = connection;
    const bool connected = !Stopped() && work.Connect();
    if (connected && CanReadStart(connection, request.size))
        *read = connection->Files().ReadFileStart(request.name, request.size, m_buffer.get());
    m_pWorking = nullptr;
    return connected && !Stopped();
}

// A file of more than one segment is read in segments, which firmware before version 4
// cannot do: the camera is asked once.
bool ThumbnailJob::State::CanReadStart(CameraConnection* connection, DWORD size)
{
    if (size <= ZQ_SEGMENT_SIZE) return true;
    if (m_segmentedReads == SegmentedReads::Unknown) {
        int major = 0;
        const bool known = connection->QueryFirmwareVersion(&major, nullptr, nullptr);
        m_segmentedReads = known && major >= kFirstSegmentedMajor ? SegmentedReads::Yes : SegmentedReads::No;
    }
    return m_segmentedReads == SegmentedReads::Yes;
}

// Hands the picture of *request to the sink and asks it for the next file, in one call on
// the window's thread (one trip there a file, not two); nothing once the job is stopped.
// True with the next file in *request.
bool ThumbnailJob::State::DeliverAndAsk(ThumbnailRequest* request, HBITMAP picture)
{
    bool found = false;
    auto deliver = [&] {
        if (Stopped()) return;
        m_pSink->OnThumbnail(*request, picture);
        found = AskSink(request);
    };
    return m_windowThread.Run(deliver) && found;
}

// Asks the worker to stop: at once when it waits, after the camera call that runs otherwise.
void ThumbnailJob::State::Stop()
{
    InterlockedExchange(&m_fStop, 1);
    Wake();
    if (CameraConnection* connection = m_pWorking) connection->CancelWorkOf(m_hwndView);
}

// Starts the worker with its own hold on the shared state.
std::unique_ptr<ThumbnailJob> ThumbnailJob::Start(HWND hwndView, ThumbnailSink* sink, COLORREF background,
                                                  const wchar_t* cacheRoot)
{
    if (!sink) return nullptr;
    std::shared_ptr<State> state(new (std::nothrow) State(hwndView, sink, background, cacheRoot),
                                 std::default_delete<State>());
    if (!state || !state->IsReady()) return nullptr;
    std::unique_ptr<ThumbnailJob> job(new (std::nothrow) ThumbnailJob(state));
    if (!job) return nullptr;
    job->m_hThread = StartWorker(state);
    if (!job->m_hThread) return nullptr;
    return job;
}

// Stops the worker and waits for it, unless this thread is inside one of its calls: then
// the worker ends on its own once the call returns.
ThumbnailJob::~ThumbnailJob()
{
    m_state->Stop();
    if (!m_state->WindowThread().IsServing()) WaitServingSentMessages(m_hThread.Get());
    m_state->WindowThread().Close();
}

void ThumbnailJob::Wake()
{
    m_state->Wake();
}
