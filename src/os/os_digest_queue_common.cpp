// Checksums on a thread of their own: a copy reads and writes while the previous blocks are
// hashed, so that a first backup costs about what the copy alone costs.
#include "os/os_copy_internal.h"

#include <algorithm>
#include <cerrno>
#include <new>

namespace Os::detail {

namespace {

constexpr std::align_val_t BlockAlignment{4096};

const char* zeroBlock()
{
    static const std::unique_ptr<char[]> block(new char[DigestQueue::BlockSize]());
    return block.get();
}

} // namespace

void DigestQueue::AlignedDelete::operator()(char* storage) const
{
    ::operator delete(storage, BlockAlignment);
}

DigestQueue::DigestQueue()
    : m_storage(static_cast<char*>(::operator new(BlockSize* BlockCount, BlockAlignment)))
{
    for (std::size_t at = 0; at < BlockCount; ++at)
        m_free.push_back(m_storage.get() + at * BlockSize);
    m_thread = std::thread([this] { work(); });
}

DigestQueue::~DigestQueue()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void DigestQueue::addZeros(DigestBuilder& builder, std::uint64_t size)
{
    for (std::uint64_t left = size; left > 0;) {
        const std::size_t chunk = std::size_t(std::min<std::uint64_t>(left, BlockSize));
        builder.add(zeroBlock(), chunk);
        left -= chunk;
    }
}

void DigestQueue::push(Task task)
{
    task.restart = m_restart;
    m_restart = false;
    bool wake = false;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_tasks.push_back(task);
        // The thread is woken for work enough to be worth the switch: half the blocks, a hole
        // or a range to read; whoever waits for it wakes it too.
        wake =
            task.kind == Task::Zeros || task.kind == Task::Range || m_free.size() <= BlockCount / 2;
    }
    if (wake)
        m_wake.notify_one();
}

char* DigestQueue::block()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_free.empty())
        m_wake.notify_one();
    m_returned.wait(lock, [this] { return !m_free.empty(); });
    char* const block = m_free.back();
    m_free.pop_back();
    return block;
}

void DigestQueue::giveBack(char* block)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_free.push_back(block);
    }
    m_returned.notify_one();
}

void DigestQueue::begin(std::uint64_t size)
{
    m_restart = true;
    m_own.reset();
    // A file of one block is hashed here while its bytes are still in this processor's cache:
    // handing it over would cost a switch of threads for a few microseconds of work. A thread
    // behind with its work leaves the file to the caller's hands too: both hash then.
    if (size <= BlockSize) {
        m_hashHere = true;
        return;
    }
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_hashHere = BlockCount - m_free.size() > BlockCount / 2;
}

void DigestQueue::add(char* block, std::size_t size)
{
    if (m_hashHere) {
        m_own.add(block, size);
        giveBack(block);
        return;
    }
    push({Task::Data, false, block, size, nullptr, nullptr, nullptr, {}});
}

void DigestQueue::addZeros(std::uint64_t size)
{
    if (m_hashHere)
        addZeros(m_own, size);
    else if (size > 0)
        push({Task::Zeros, false, nullptr, size, nullptr, nullptr, nullptr, {}});
}

void DigestQueue::finish(Digest* into)
{
    if (m_hashHere) {
        *into = m_own.result();
        return;
    }
    push({Task::Finish, false, nullptr, 0, into, nullptr, nullptr, {}});
}

void DigestQueue::beginReading(RangeReader read)
{
    m_restart = true;
    m_hashHere = false;
    m_readRange = std::move(read);
}

void DigestQueue::addRange(std::uint64_t offset, std::uint64_t size)
{
    Task task{Task::Range, false, nullptr, size, nullptr, nullptr, nullptr, {}};
    task.offset = offset;
    push(std::move(task));
}

int DigestQueue::finishReading(Digest* into)
{
    // Always a task, so that a file that handed nothing over starts the thread's afresh too.
    push({Task::Finish, false, nullptr, 0, into, nullptr, nullptr, {}});
    wait();
    return m_readError;
}

int DigestQueue::readRange(std::uint64_t offset, std::uint64_t size)
{
    const std::uint64_t end = offset + size;
    std::uint64_t at = offset;
    return int(-readAll(
        [&](char* block) -> std::int64_t {
            if (at == end)
                return 0;
            const std::int64_t got =
                m_readRange(block, std::size_t(std::min<std::uint64_t>(BlockSize, end - at)), at);
            if (got > 0)
                at += std::uint64_t(got);
            return got == 0 ? -ENODATA : got; // a file that ends before the range changed
        },
        m_builder));
}

void DigestQueue::check(Reader read, const Digest* expected, bool* matches)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_checks < ChecksAhead) {
            ++m_checks;
            m_tasks.push_back(
                {Task::Check, false, nullptr, 0, nullptr, expected, matches, std::move(read)});
            m_wake.notify_one();
            return;
        }
    }
    *matches = readMatches(read, m_own, *expected);
}

std::int64_t DigestQueue::readAll(const Reader& read, DigestBuilder& builder)
{
    char* const buffer = block();
    std::int64_t got = 0;
    while ((got = read(buffer)) > 0)
        builder.add(buffer, std::size_t(got));
    giveBack(buffer);
    return got;
}

bool DigestQueue::readMatches(const Reader& read, DigestBuilder& builder, const Digest& expected)
{
    builder.reset();
    return readAll(read, builder) == 0 && builder.result() == expected;
}

void DigestQueue::wait()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_wake.notify_one();
    m_idle.wait(lock, [this] { return m_tasks.empty() && !m_working; });
}

void DigestQueue::work()
{
    std::deque<Task> batch;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_working = false;
            if (m_tasks.empty())
                m_idle.notify_all();
            m_wake.wait(lock, [this] { return m_quit || !m_tasks.empty(); });
            if (m_tasks.empty())
                return; // quit, with everything handed over done
            batch.swap(m_tasks);
            m_working = true;
        }
        for (const Task& task : batch) {
            if (task.restart) {
                m_builder.reset();
                m_readError = 0;
            }
            switch (task.kind) {
            case Task::Data:
                m_builder.add(task.data, task.size);
                giveBack(task.data);
                break;
            case Task::Zeros:
                addZeros(m_builder, task.size);
                break;
            case Task::Range:
                if (m_readError == 0) // a file that failed is read no further
                    m_readError = readRange(task.offset, task.size);
                break;
            case Task::Finish:
                if (task.into)
                    *task.into = m_builder.result();
                break;
            case Task::Check: {
                *task.matches = readMatches(task.read, m_builder, *task.expected);
                const std::lock_guard<std::mutex> lock(m_mutex);
                --m_checks;
                break;
            }
            }
        }
        batch.clear();
    }
}

} // namespace Os::detail
