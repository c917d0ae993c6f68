// For tests of code that must never wait on a FIFO. FifoReleaser opens the
// FIFO's writing end after three seconds, which releases an open for
// reading that waits for one; FifoDrainer opens its reading end after three
// seconds, which releases an open for writing, and reads away whatever is
// written until it is finished. Each tells whether anything had to be
// released. CallReleasingFifo runs one call in a thread of its own and
// releases it, whichever end it waits for, when it still waits after
// three seconds.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <thread>

// The three-second wait, the finish and the answer both share; the one
// that derives starts the thread with what it does once the wait is over.
class FifoWatch {
public:
    // True when the release was needed.
    bool Finish() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            finished = true;
        }
        done_waiting.notify_all();
        thread.join();
        return released;
    }

protected:
    // Runs `release` with the lock held unless Finish comes first.
    template <typename Release>
    void Start(Release release) {
        thread = std::thread([this, release] {
            std::unique_lock<std::mutex> lock(mutex);
            if (done_waiting.wait_for(lock, std::chrono::seconds(3), [this] { return finished; })) return;
            release(lock);
        });
    }

    std::mutex mutex;
    std::condition_variable done_waiting;
    bool finished = false;
    bool released = false;
    std::thread thread;
};

class FifoReleaser : public FifoWatch {
public:
    explicit FifoReleaser(const std::string& fifo) {
        Start([this, fifo](std::unique_lock<std::mutex>&) {
            int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            released = writer >= 0;
            if (writer >= 0) close(writer);
        });
    }
};

class FifoDrainer : public FifoWatch {
public:
    // The reading end stays open until Finish, so that a released writer
    // never writes to a FIFO nobody reads (which would raise SIGPIPE).
    explicit FifoDrainer(const std::string& fifo) {
        Start([this, fifo](std::unique_lock<std::mutex>& lock) {
            int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
            released = reader >= 0;
            if (reader < 0) return;
            char bytes[4096];
            while (!done_waiting.wait_for(lock, std::chrono::milliseconds(10), [this] { return finished; })) {
                while (read(reader, bytes, sizeof(bytes)) > 0) {
                }
            }
            close(reader);
        });
    }
};

// The call's result; *waited tells whether it had to be released. A FIFO
// opened for reading and writing at once waits for nobody (Linux), and it
// is both the reader a waiting writer lacks and the writer a waiting
// reader lacks; it stays open until the call is over, so that a released
// writer never writes to a FIFO nobody reads.
template <typename Call>
auto CallReleasingFifo(const std::string& fifo, Call call, bool* waited) -> decltype(call()) {
    auto pending = std::async(std::launch::async, call);
    *waited = pending.wait_for(std::chrono::seconds(3)) != std::future_status::ready;
    int both_ends = *waited ? open(fifo.c_str(), O_RDWR | O_NONBLOCK) : -1;
    auto result = pending.get();
    if (both_ends >= 0) close(both_ends);
    return result;
}
