// Worker threads that share a state object with the window's thread that started them.
#pragma once
#include <windows.h>
#include <memory>
#include <new>
#include "base/Raii.h"

namespace worker_detail {
// The thread: runs the state's Run() and lets go of its hold on the state.
template <typename State> DWORD WINAPI Run(void* parameter)
{
    std::unique_ptr<std::shared_ptr<State>> hold(static_cast<std::shared_ptr<State>*>(parameter));
    (*hold)->Run();
    return 0;
}
}  // namespace worker_detail

// Starts a thread that calls state->Run() with a hold of its own on the state, so that the
// last of the two to let go frees it; no handle when no thread could be started.
template <typename State> KernelHandle StartWorker(const std::shared_ptr<State>& state)
{
    auto* hold = new (std::nothrow) std::shared_ptr<State>(state);
    if (!hold) return KernelHandle();
    KernelHandle thread(CreateThread(nullptr, 0, worker_detail::Run<State>, hold, 0, nullptr));
    if (!thread) delete hold;
    return thread;
}

// Waits for a thread's end while serving the messages other threads send to this one (a
// worker may be inside a call to this thread's windows).
void WaitServingSentMessages(HANDLE thread);
