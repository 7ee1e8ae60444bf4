#include "platform/linux/sound/output_thread.h"

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace {

struct CallQueue {
    std::mutex mutex;
    std::condition_variable changed;          // a call was handed over or has finished
    std::deque<std::function<void()>> calls;  // the first one runs until it is taken off
};

// Made by the first call and never destroyed: a call may still wait on a
// stalled server when the program ends, and the thread must find its queue then.
CallQueue* queue = nullptr;

void Serve() {
    std::unique_lock<std::mutex> lock(queue->mutex);
    for (;;) {
        queue->changed.wait(lock, [] { return !queue->calls.empty(); });
        std::function<void()> call = std::move(queue->calls.front());
        lock.unlock();
        call();
        lock.lock();
        queue->calls.pop_front();
        queue->changed.notify_all();
    }
}

}  // namespace

int RunOnOutputThread(const char* name, std::chrono::milliseconds limit, std::function<int()> call,
                      int fallback, std::function<void(int)> late) {
    struct Outcome {
        bool done = false;
        bool abandoned = false;
        int result = 0;
    };
    auto outcome = std::make_shared<Outcome>();  // under the queue's lock
    PostToOutputThread([outcome, call = std::move(call), late = std::move(late)] {
        const int result = call();
        std::unique_lock<std::mutex> lock(queue->mutex);
        outcome->result = result;
        outcome->done = true;
        if (outcome->abandoned) {
            lock.unlock();
            late(result);
        }
    });
    std::unique_lock<std::mutex> lock(queue->mutex);
    if (queue->changed.wait_for(lock, limit, [&outcome] { return outcome->done; })) {
        return outcome->result;
    }
    outcome->abandoned = true;
    std::fprintf(stderr, "sound3d: %s: no answer from the sound server within %.1f s\n", name,
                 static_cast<double>(limit.count()) / 1000.0);
    return fallback;
}

void PostToOutputThread(std::function<void()> call) {
    if (queue == nullptr) {
        queue = new CallQueue;
        std::thread(Serve).detach();
    }
    std::lock_guard<std::mutex> lock(queue->mutex);
    queue->calls.push_back(std::move(call));
    queue->changed.notify_all();
}

void WaitForOutputThread(std::chrono::milliseconds limit) {
    if (queue == nullptr) {
        return;
    }
    std::unique_lock<std::mutex> lock(queue->mutex);
    queue->changed.wait_for(lock, limit, [] { return queue->calls.empty(); });
}
