#include "gui/app/WindowedJob.h"

#include "gui/runtime/RuntimeServices.h"

#include <chrono>
#include <thread>

namespace {

// How long the window's thread waits for the work before it looks at the window again: short
// enough that the window never seems to hang.
constexpr std::chrono::milliseconds WindowTurn{10};

} // namespace

void WindowedJob::run(const std::function<void()>& work, const std::function<void()>& tick)
{
    {
        const std::lock_guard lock(m_mutex);
        m_ended = false;
        m_abandoned = false;
    }
    std::thread worker([this, &work] {
        work();
        const std::lock_guard lock(m_mutex);
        m_ended = true;
        m_changed.notify_all();
    });
    for (;;) {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, WindowTurn,
                           [this] { return (m_task && !m_taskTaken) || m_ended; });
        if (m_task && !m_taskTaken) {
            m_taskTaken = true;
            const std::function<void()>& task = *m_task;
            lock.unlock();
            task();
            lock.lock();
            m_task = nullptr;
            m_changed.notify_all();
            continue;
        }
        if (m_ended)
            break;
        lock.unlock();
        m_services.keepAlive();
        tick();
    }
    worker.join();
}

void WindowedJob::onWindowThread(const std::function<void()>& task)
{
    std::unique_lock lock(m_mutex);
    if (m_abandoned)
        return;
    m_task = &task;
    m_taskTaken = false;
    m_changed.notify_all();
    // A task the window's thread has begun is waited for whatever happens: it writes into this
    // thread's frame.
    m_changed.wait(lock,
                   [this, &task] { return m_task != &task || (m_abandoned && !m_taskTaken); });
    if (m_task == &task)
        m_task = nullptr;
}

void WindowedJob::abandonAndWait()
{
    std::unique_lock lock(m_mutex);
    m_abandoned = true;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_ended; });
}
