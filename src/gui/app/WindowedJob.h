// Work on a worker thread while the window stays alive. The window's thread handles the
// window's events and answers the work's questions (boxes are shown on the window's thread only)
// until the work has ended.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

class RuntimeServices;

class WindowedJob
{
public:
    explicit WindowedJob(RuntimeServices& services) : m_services(services) {}

    // Runs the work on a worker thread and returns when it has ended; meanwhile the window's
    // thread keeps the window alive and runs `tick` every few milliseconds.
    void run(const std::function<void()>& work, const std::function<void()>& tick);

    // From the work: runs the question on the window's thread and answers what it answered.
    // Once the job is abandoned, answers the fallback at once.
    template <typename T> T ask(const std::function<T()>& question, T fallback)
    {
        std::optional<T> answer;
        onWindowThread([&] { answer = question(); });
        return answer.value_or(fallback);
    }

    // From a handler on the window's thread while run() waits further out on the stack: asks
    // nothing more of the window and waits until the work has ended (it must be told to stop).
    void abandonAndWait();

private:
    // Blocks the worker until the task has run on the window's thread; runs nothing once the
    // job is abandoned.
    void onWindowThread(const std::function<void()>& task);

    RuntimeServices& m_services;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    const std::function<void()>* m_task = nullptr; // waiting for the window's thread
    bool m_taskTaken = false;
    bool m_ended = true; // no work runs
    bool m_abandoned = false;
};
