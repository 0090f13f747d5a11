// The pictures of the view's photos made on a worker thread, one camera file at a time.
#pragma once
#include <windows.h>
#include <memory>
#include "base/Raii.h"
#include "camera/ZqApi.h"

// A camera file whose picture is wanted: its name and size as the camera lists them.
struct ThumbnailRequest {
    char name[ZQ_NAME_MAX + 1];
    DWORD size;
};

// What the job asks of the view; called on the window's thread only.
class ThumbnailSink {
public:
    // The next file to make a picture of; false when there is none now (the job waits until
    // it is woken).
    virtual bool NextThumbnailRequest(ThumbnailRequest* request) = 0;
    // The file's picture, a kThumbnailSide square the sink copies; null when it has none.
    virtual void OnThumbnail(const ThumbnailRequest& request, HBITMAP picture) = 0;

protected:
    ~ThumbnailSink() = default;
};

// Made and destroyed on the view window's thread. For each file the sink names, the worker
// looks in the disk cache first; on a miss it reads the file's start from the camera in a
// quiet unit of camera work of its own (so a command waits for one file at most), makes the
// picture, keeps it in the cache and hands it to the sink. A camera that cannot be reached
// ends the job. Destroying the job stops the worker after its running camera call and
// waits for it while the thread's sent messages are served.
class ThumbnailJob {
public:
    // Null when no worker could be started. Pictures are fitted on background; the cache
    // lives in the folder cacheRoot.
    static std::unique_ptr<ThumbnailJob> Start(HWND hwndView, ThumbnailSink* sink, COLORREF background,
                                               const wchar_t* cacheRoot);
    ~ThumbnailJob();
    ThumbnailJob(const ThumbnailJob&) = delete;
    ThumbnailJob& operator=(const ThumbnailJob&) = delete;

    // There may be new files to make pictures of: the worker asks the sink again.
    void Wake();
    // The worker has ended (stopped, or the camera could not be reached).
    bool HasEnded() const { return WaitForSingleObject(m_hThread.Get(), 0) == WAIT_OBJECT_0; }

private:
    class State;
    explicit ThumbnailJob(std::shared_ptr<State> state) : m_state(std::move(state)) {}

    std::shared_ptr<State> m_state;
    KernelHandle m_hThread;
};
