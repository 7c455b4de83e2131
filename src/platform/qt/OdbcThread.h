#pragma once
// The thread of one kept database connection. A driver call that waits on a server which stopped
// answering (frozen, or a network that drops every packet without a word) cannot be interrupted:
// PostgreSQL's driver has no read timeout of its own, and a server-side statement bound cannot fire
// in a server that does not run. So every call of a connection runs on a thread of its own, and the
// caller waits for it only as long as the connection allows: the scan gives up, says so, and the
// window goes on painting meanwhile. A thread whose call outlived its bound is abandoned: it takes
// no further calls and ends by itself, once the driver returns, after the calls already queued.
//
// Only the thread runs the jobs; the caller owns the OdbcThread and uses it from one thread.
#include <chrono>
#include <functional>
#include <memory>

class OdbcThread {
public:
    OdbcThread();
    // Lets the queued jobs run and the thread end: waited for while it is answering, left to end by
    // itself when abandoned.
    ~OdbcThread();
    OdbcThread(const OdbcThread&) = delete;
    OdbcThread& operator=(const OdbcThread&) = delete;

    // Runs `job` on the thread after the jobs queued before it, and waits for it at most `limit`,
    // calling `whileWaiting` (when given) every few hundredths of a second meanwhile. True when the
    // job ended in time. False when it did not, or the thread was abandoned before: the thread is
    // abandoned then, and `job` may still run or be running, so it must own what it touches.
    bool run(std::function<void()> job, std::chrono::milliseconds limit, const std::function<void()>& whileWaiting = {});
    // Queues `job` without waiting for it (a statement's end, the connection's close).
    void post(std::function<void()> job);
    bool abandoned() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};
