// The camera's listing read on a worker thread, its rows handed to the view's window in batches.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <memory>
#include <vector>
#include "base/Raii.h"

// Made and destroyed on the view window's thread. The worker reads the camera as one unit of
// camera work whose messages and dialogs the window's thread shows, and posts
// ListingMessage() to the window (lParam: the job's Id()) when rows wait and when it ended.
// Destroying the job stops the worker after its running camera call and waits for it while
// the thread's sent messages are served.
class ListingJob {
public:
    // Null when no worker could be started.
    static std::unique_ptr<ListingJob> Start(HWND hwndView);
    ~ListingJob();
    ListingJob(const ListingJob&) = delete;
    ListingJob& operator=(const ListingJob&) = delete;

    // The rows read since the last call, in the camera's order; the caller owns them.
    std::vector<LPITEMIDLIST> TakeRows();
    // Files read so far and the number the camera lists (0 until it is known).
    void GetProgress(UINT* read, UINT* listed) const;
    // The worker has ended: every row is read or the reading stopped.
    bool IsDone() const;
    LPARAM Id() const;

    static UINT ListingMessage();

private:
    class State;
    explicit ListingJob(std::shared_ptr<State> state) : m_state(std::move(state)) {}

    std::shared_ptr<State> m_state;
    KernelHandle m_hThread;
};
