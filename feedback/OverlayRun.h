#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

// Ends the thread that draws an overlay (the label or the ring): asks it to stop, wakes its
// window and waits until the deadline. A thread stuck in the desktop's calls is left to end by
// itself: it owns what it uses, so nothing is freed under it and nothing is killed.
// `Run` has `stop`, `ended` (atomics), `mutex`, `endedCondition` and `window`.
template<class Run>
void endOverlayRun(std::shared_ptr<Run> &run, std::thread &worker,
                   std::chrono::steady_clock::time_point deadline)
{
    if (!run)
        return;
    const std::shared_ptr<Run> ending = std::move(run);
    ending->stop = true;
    std::unique_lock<std::mutex> lock(ending->mutex);
    if (ending->window)
        ending->window->wake();
    const bool ended =
        ending->endedCondition.wait_until(lock, deadline, [&] { return ending->ended.load(); });
    lock.unlock();
    if (ended)
        worker.join();
    else
        worker.detach();
}
