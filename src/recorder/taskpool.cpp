#include "recorder/taskpool.h"

#include <system_error>

CTaskPool::CTaskPool(unsigned nThreads)
{
    for (unsigned i = 1; i < nThreads; ++i) {
        try {
            m_threads.emplace_back([this] { HelperLoop(); });
        } catch (const std::system_error&) {
            break; // the tasks still run, on fewer threads
        }
    }
}

CTaskPool::~CTaskPool()
{
    if (m_bRunning)
        Finish();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
    }
    m_cvWork.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void CTaskPool::Start(std::size_t nTasks, std::function<void(std::size_t)> task)
{
    if (m_bRunning)
        Finish();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_task = std::move(task);
        m_nTasks = nTasks;
        m_nNext.store(0, std::memory_order_relaxed);
        ++m_nRound;
        m_bRunning = true;
    }
    m_cvWork.notify_all();
}

void CTaskPool::Finish()
{
    if (!m_bRunning)
        return;
    TakeTasks();
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cvDone.wait(lock, [this] { return m_nActive == 0; });
    m_bRunning = false;
}

void CTaskPool::TakeTasks()
{
    for (std::size_t i = m_nNext.fetch_add(1); i < m_nTasks; i = m_nNext.fetch_add(1))
        m_task(i);
}

void CTaskPool::HelperLoop()
{
    std::uint64_t nSeen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_cvWork.wait(lock, [&] { return m_bQuit || (m_bRunning && m_nRound != nSeen); });
            if (m_bQuit)
                return;
            nSeen = m_nRound;
            ++m_nActive;
        }
        TakeTasks();
        std::lock_guard<std::mutex> lock(m_mutex);
        if (--m_nActive == 0)
            m_cvDone.notify_one();
    }
}
