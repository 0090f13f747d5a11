// The view's listing of the camera on a worker thread.
#include "view/ListingJob.h"
#include <new>
#include <utility>
#include "camera/CameraConnectionUse.h"
#include "camera/CameraWork.h"
#include "items/CameraItemReader.h"
#include "base/WindowThreadCall.h"
#include "base/WorkerThread.h"

// What the window's thread and the worker share; the last of them to let go frees it.
class ListingJob::State {
public:
    explicit State(HWND hwndView) : m_hwndView(hwndView), m_pIds(ItemIdManager::Create()) {}
    ~State()
    {
        for (LPITEMIDLIST pidl : m_rows) m_pIds->Delete(pidl);
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    bool IsReady() const { return m_windowThread && m_pIds; }
    void Run();
    void Stop();
    std::vector<LPITEMIDLIST> TakeRows();
    void GetProgress(UINT* read, UINT* listed) const;
    bool IsDone() const;
    WindowThreadCall& WindowThread() { return m_windowThread; }

private:
    bool Add(LPITEMIDLIST pidl, DWORD listed);
    void Finish();
    bool Stopped() const { return InterlockedCompareExchange(const_cast<LONG*>(&m_fStop), 0, 0) != 0; }
    void Notify() const { PostMessageA(m_hwndView, ListingMessage(), 0, reinterpret_cast<LPARAM>(this)); }

    const HWND m_hwndView;
    WindowThreadCall m_windowThread;  // made on the window's thread, closed there
    std::unique_ptr<ItemIdManager> m_pIds;
    LONG volatile m_fStop = 0;
    CameraConnection* volatile m_pWorking = nullptr;  // the connection while the worker's unit runs
    mutable SRWLOCK m_lock = SRWLOCK_INIT;  // guards what follows
    std::vector<LPITEMIDLIST> m_rows;       // read, not yet taken
    UINT m_cRead = 0;
    UINT m_cListed = 0;
    bool m_fDone = false;
    bool m_fNotified = false;  // a message about waiting rows is on its way
};


// The worker: one unit of camera work that connects and reads every listed file, unless stopped.
void ListingJob::State::Run()
{
    CameraConnectionUse use;
    if (StoppableLinkLock hold{use.Get(), &m_fStop}) {
        CameraWork work(use.Get(), m_hwndView, &m_windowThread);
        m_pWorking = use.Get();
        if (!Stopped() && work.Connect()) {
            ReadCameraItems(use.Get(), *m_pIds, [this](LPITEMIDLIST pidl, DWORD listed) { return Add(pidl, listed); });
        }
        m_pWorking = nullptr;
    }
    Finish();
}

// One more row; the window hears of waiting rows once until it takes them. False: stop reading.
bool ListingJob::State::Add(LPITEMIDLIST pidl, DWORD listed)
{
    bool notify = false;
    {
        ExclusiveSrwLock lock(m_lock);
        try {
            m_rows.push_back(pidl);
        } catch (const std::bad_alloc&) {
            m_pIds->Delete(pidl);
            return false;
        }
        ++m_cRead;
        m_cListed = listed;
        notify = !std::exchange(m_fNotified, true);
    }
    if (notify) Notify();
    return !Stopped();
}

// The worker's end, told to the window.
void ListingJob::State::Finish()
{
    {
        ExclusiveSrwLock lock(m_lock);
        m_fDone = true;
    }
    Notify();
}

// Asks the worker to stop: between files, and inside a library call that polls for it.
void ListingJob::State::Stop()
{
    InterlockedExchange(&m_fStop, 1);
    if (CameraConnection* connection = m_pWorking) connection->CancelWork();
}

std::vector<LPITEMIDLIST> ListingJob::State::TakeRows()
{
    ExclusiveSrwLock lock(m_lock);
    m_fNotified = false;
    return std::exchange(m_rows, {});
}

void ListingJob::State::GetProgress(UINT* read, UINT* listed) const
{
    ExclusiveSrwLock lock(m_lock);
    *read = m_cRead;
    *listed = m_cListed;
}

bool ListingJob::State::IsDone() const
{
    ExclusiveSrwLock lock(m_lock);
    return m_fDone;
}

// Starts the worker with its own hold on the shared state.
std::unique_ptr<ListingJob> ListingJob::Start(HWND hwndView)
{
    std::shared_ptr<State> state(new (std::nothrow) State(hwndView), std::default_delete<State>());
    if (!state || !state->IsReady()) return nullptr;
    std::unique_ptr<ListingJob> job(new (std::nothrow) ListingJob(state));
    if (!job) return nullptr;
    job->m_hThread = StartWorker(state);
    if (!job->m_hThread) return nullptr;
    return job;
}

// Stops the worker and waits for it, unless this thread is inside one of its calls (a
// message box of the listing): then the worker ends on its own once the call returns.
ListingJob::~ListingJob()
{
    m_state->Stop();
    if (!m_state->WindowThread().IsServing()) WaitServingSentMessages(m_hThread.Get());
    m_state->WindowThread().Close();
}

std::vector<LPITEMIDLIST> ListingJob::TakeRows()
{
    return m_state->TakeRows();
}

void ListingJob::GetProgress(UINT* read, UINT* listed) const
{
    m_state->GetProgress(read, listed);
}

bool ListingJob::IsDone() const
{
    return m_state->IsDone();
}

LPARAM ListingJob::Id() const
{
    return reinterpret_cast<LPARAM>(m_state.get());
}

// Registered once: posted by the worker to the view's window.
UINT ListingJob::ListingMessage()
{
    static const UINT message = RegisterWindowMessageA("Lumora.ListingRows");
    return message;
}
