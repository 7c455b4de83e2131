#include "platform/qt/OdbcThread.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

// Shared by the owner and the thread, so that an abandoned thread keeps what it uses after its owner
// is gone.
struct OdbcThread::State {
    std::mutex mutex;
    std::condition_variable work;  // a job was queued, or the owner is gone
    std::condition_variable done;  // a job ended, or the thread did
    std::deque<std::function<void()>> jobs;
    // Jobs queued and ended so far, in the order they were queued; changed under the mutex, read
    // without it while a caller watches for its job's end.
    std::atomic<std::uint64_t> queued{0}, finished{0};
    bool closing = false;
    bool abandoned = false;
    bool ended = false;
};

namespace {

using Clock = std::chrono::steady_clock;

// How often a waiting caller gets `whileWaiting`: often enough for the window to paint smoothly.
constexpr std::chrono::milliseconds kSlice(30);

// A quick call (a key query on a local database answers in tens of microseconds) is waited for
// by watching for its end a moment before sleeping: waking a sleeping caller costs more than such
// a call on a busy machine.
constexpr std::chrono::microseconds kWatch(200);

// How long the owner waits at its end for a thread that answers to close its connection.
constexpr std::chrono::seconds kCloseBound(10);

template <typename Done>
bool watchFor(Done done) {
    for (const auto until = Clock::now() + kWatch; Clock::now() < until;)
        if (done()) return true;
    return done();
}

}  // namespace

OdbcThread::OdbcThread() : state_(std::make_shared<State>()) {
    std::thread([state = state_] {
        for (;;) {
            std::unique_lock lock(state->mutex);
            state->work.wait(lock, [&] { return !state->jobs.empty() || state->closing; });
            if (state->jobs.empty()) {
                state->ended = true;
                state->done.notify_all();
                return;
            }
            std::function<void()> job = std::move(state->jobs.front());
            state->jobs.pop_front();
            lock.unlock();
            try {
                job();
            } catch (...) {
                // A job reports through what it owns; one that throws still ends, and the thread goes on.
            }
            job = nullptr;  // what the job holds is let go of here, on the thread that used it
            lock.lock();
            state->finished.fetch_add(1, std::memory_order_release);
            state->done.notify_all();
        }
    }).detach();
}

OdbcThread::~OdbcThread() {
    std::unique_lock lock(state_->mutex);
    state_->closing = true;
    state_->work.notify_all();
    // A thread that answers closes its connection now, so that nothing of it outlives the program's
    // own end; an abandoned one ends when its driver returns, if ever.
    if (!state_->abandoned) state_->done.wait_for(lock, kCloseBound, [&] { return state_->ended; });
}

bool OdbcThread::run(std::function<void()> job, std::chrono::milliseconds limit, const std::function<void()>& whileWaiting) {
    const auto deadline = Clock::now() + limit;
    std::unique_lock lock(state_->mutex);
    if (state_->abandoned) return false;
    state_->jobs.push_back(std::move(job));
    const std::uint64_t mine = state_->queued.fetch_add(1, std::memory_order_release) + 1;
    state_->work.notify_one();
    const auto ended = [&] { return state_->finished.load(std::memory_order_acquire) >= mine; };
    lock.unlock();
    if (watchFor(ended)) return true;
    lock.lock();
    for (;;) {
        const auto until = whileWaiting ? std::min(deadline, Clock::now() + kSlice) : deadline;
        if (state_->done.wait_until(lock, until, ended)) return true;
        if (Clock::now() >= deadline) {
            state_->abandoned = true;
            return false;
        }
        lock.unlock();
        if (whileWaiting) whileWaiting();
        lock.lock();
    }
}

void OdbcThread::post(std::function<void()> job) {
    std::lock_guard lock(state_->mutex);
    state_->jobs.push_back(std::move(job));
    state_->queued.fetch_add(1, std::memory_order_release);
    state_->work.notify_one();
}

bool OdbcThread::abandoned() const {
    std::lock_guard lock(state_->mutex);
    return state_->abandoned;
}
