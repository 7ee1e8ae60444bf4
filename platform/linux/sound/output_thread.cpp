#include "platform/linux/sound/output_thread.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace {

struct CallQueue {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::function<void()>> calls;
    bool calling = false;
};

void Serve(CallQueue* queue) {
    std::unique_lock<std::mutex> lock(queue->mutex);
    for (;;) {
        queue->changed.wait(lock, [queue] { return !queue->calls.empty(); });
        std::function<void()> call = std::move(queue->calls.front());
        queue->calls.pop_front();
        queue->calling = true;
        lock.unlock();
        call();
        lock.lock();
        queue->calling = false;
        queue->changed.notify_all();
    }
}

std::atomic<CallQueue*> startedQueue{nullptr};

// Made on first use and never destroyed: a call may still wait on a stalled
// server when the program ends, and the thread must find its queue then.
CallQueue& Queue() {
    static CallQueue* queue = [] {
        auto* made = new CallQueue;
        std::thread(Serve, made).detach();
        startedQueue = made;
        return made;
    }();
    return *queue;
}

struct Outcome {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    int result = 0;
};

}  // namespace

int RunOnOutputThread(std::chrono::milliseconds limit, std::function<int()> call, int fallback,
                      std::function<void(int)> late) {
    auto outcome = std::make_shared<Outcome>();
    PostToOutputThread([outcome, call = std::move(call), late = std::move(late)] {
        const int result = call();
        std::unique_lock<std::mutex> lock(outcome->mutex);
        if (outcome->abandoned) {
            lock.unlock();
            late(result);
            return;
        }
        outcome->result = result;
        outcome->done = true;
        outcome->finished.notify_all();
    });
    std::unique_lock<std::mutex> lock(outcome->mutex);
    if (!outcome->finished.wait_for(lock, limit, [&outcome] { return outcome->done; })) {
        outcome->abandoned = true;
        return fallback;
    }
    return outcome->result;
}

void PostToOutputThread(std::function<void()> call) {
    CallQueue& queue = Queue();
    {
        std::lock_guard<std::mutex> lock(queue.mutex);
        queue.calls.push_back(std::move(call));
    }
    queue.changed.notify_all();
}

void WaitForOutputThread(std::chrono::milliseconds limit) {
    CallQueue* queue = startedQueue;
    if (queue == nullptr) {
        return;
    }
    std::unique_lock<std::mutex> lock(queue->mutex);
    queue->changed.wait_for(lock, limit,
                            [queue] { return queue->calls.empty() && !queue->calling; });
}
