// A few threads that run the numbered tasks of one round together with the calling thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class CTaskPool
{
public:
    // nThreads counts the calling thread; fewer helpers start if the system refuses threads.
    explicit CTaskPool(unsigned nThreads);
    ~CTaskPool();
    CTaskPool(const CTaskPool&) = delete;
    CTaskPool& operator=(const CTaskPool&) = delete;

    unsigned GetThreadCount() const { return static_cast<unsigned>(m_threads.size()) + 1; }

    // Starts a round: task(i) for every i below nTasks, in no particular order. The task
    // must outlive the round and must not throw.
    void Start(std::size_t nTasks, std::function<void(std::size_t)> task);
    // The calling thread takes the tasks still waiting, then waits for the helpers' ones.
    void Finish();
    void Run(std::size_t nTasks, std::function<void(std::size_t)> task)
    {
        Start(nTasks, std::move(task));
        Finish();
    }

private:
    void HelperLoop();
    void TakeTasks();

    std::mutex m_mutex;
    std::condition_variable m_cvWork;
    std::condition_variable m_cvDone;
    std::function<void(std::size_t)> m_task;
    std::size_t m_nTasks = 0;
    std::atomic<std::size_t> m_nNext{0};
    std::uint64_t m_nRound = 0;
    // Helpers inside the running round. One that wakes only after the round has been
    // finished stays out, so a busy machine's late thread never holds the caller up.
    unsigned m_nActive = 0;
    bool m_bQuit = false;
    bool m_bRunning = false;
    std::vector<std::thread> m_threads;
};
