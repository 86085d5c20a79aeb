// The checksums hashed beside the copy: each file's result is its bytes' checksum whichever hands
// hash it, whatever was dropped before it, and in whatever order the results arrive (that the
// checksum is XXH3-128 as xxhsum prints it, the planned copy's test pins).
#include "os/os_copy_internal.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace {

using Os::detail::DigestQueue;

Os::Digest digestOf(const std::string& bytes)
{
    Os::DigestBuilder builder;
    builder.add(bytes.data(), bytes.size());
    return builder.result();
}

// Hands a file's bytes over block by block, as the copier does.
void handOver(DigestQueue& queue, const std::string& bytes)
{
    for (std::size_t at = 0; at < bytes.size(); at += DigestQueue::BlockSize) {
        const std::size_t size = std::min(DigestQueue::BlockSize, bytes.size() - at);
        char* const block = queue.block();
        std::memcpy(block, bytes.data() + at, size);
        queue.add(block, size);
    }
}

struct File
{
    std::string bytes;
    std::uint64_t hole = 0; // zeros handed over as a hole before the bytes
    Os::Digest digest{};
};

// Files hashed by the queue's thread (every block free when a file begins) or by the caller
// (a file of one block, or the thread is behind: here the caller holds more than half the blocks).
// Between files, one begun and left unfinished, as a copy that reads a changed source again leaves
// it. A hole counts as zeros.
TEST(DigestQueue, EveryFileGetsItsOwnChecksumOnEitherSide)
{
    for (const bool behind : {false, true}) {
        SCOPED_TRACE(behind ? "hashed by the caller" : "hashed by the thread");
        std::vector<File> files;
        for (const std::size_t size :
             {std::size_t{0}, std::size_t{1}, DigestQueue::BlockSize, DigestQueue::BlockSize + 7,
              3 * DigestQueue::BlockSize + 100}) {
            std::string bytes(size, '\0');
            for (std::size_t at = 0; at < size; ++at)
                bytes[at] = char((at * 131 + size) % 251);
            files.push_back({bytes});
        }
        files.push_back({"data after a hole", 2 * DigestQueue::BlockSize + 9});
        DigestQueue queue;
        std::vector<char*> held;
        if (behind)
            for (std::size_t n = 0; n <= DigestQueue::BlockCount / 2; ++n)
                held.push_back(queue.block());
        for (File& file : files) {
            queue.begin(DigestQueue::BlockSize + 3);
            handOver(queue, std::string(DigestQueue::BlockSize + 3, 'x')); // dropped
            queue.begin(file.hole + file.bytes.size());
            queue.addZeros(file.hole);
            handOver(queue, file.bytes);
            queue.finish(&file.digest);
        }
        for (char* block : held)
            queue.giveBack(block);
        queue.wait();
        for (const File& file : files)
            EXPECT_EQ(file.digest, digestOf(std::string(file.hole, '\0') + file.bytes))
                << file.bytes.size() << " bytes";
    }
}

// Reads a file's bytes in blocks, as a read-back does, then answers `atEnd` (-1: a read error
// after all the bytes).
DigestQueue::Reader readerOf(const std::string& bytes, std::int64_t atEnd = 0)
{
    auto at = std::make_shared<std::size_t>(0);
    return [bytes, at, atEnd](char* block) -> std::int64_t {
        if (*at == bytes.size())
            return atEnd;
        const std::size_t size = std::min(DigestQueue::BlockSize, bytes.size() - *at);
        std::memcpy(block, bytes.data() + *at, size);
        *at += size;
        return std::int64_t(size);
    };
}

// Whole files read back are checked by whichever side is free: the thread takes a few at a time
// (here held until the caller has checked the others itself); a damaged file and one that cannot
// be read do not match (on the thread's side, the planned copy's verification test: the thread
// takes its first check).
TEST(DigestQueue, ChecksWholeFilesOnEitherSide)
{
    const std::string bytes(2 * DigestQueue::BlockSize + 5, 'v');
    const Os::Digest expected = digestOf(bytes);
    DigestQueue queue;
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    bool onThread[DigestQueue::ChecksAhead] = {};
    for (bool& matches : onThread)
        queue.check(
            [&released, read = readerOf(bytes)](char* block) {
                released.wait();
                return read(block);
            },
            &expected, &matches);
    std::array<bool, 3> here{false, true, true};
    queue.check(readerOf(bytes), &expected, &here[0]);
    queue.check(readerOf(bytes + "!"), &expected, &here[1]);
    queue.check(readerOf(bytes, -1), &expected, &here[2]);
    EXPECT_EQ(here, (std::array<bool, 3>{true, false, false})); // whole, damaged, unreadable
    release.set_value();
    queue.wait();
    for (const bool matches : onThread)
        EXPECT_TRUE(matches);
}

// A file the system copies is read by the thread range by range, holes between: its checksum is
// its bytes'. A read that fails or a file that ends early is told by finishReading(), and the
// next file starts clean.
TEST(DigestQueue, ReadsFilesItselfRangeByRange)
{
    std::string bytes(3 * DigestQueue::BlockSize + 11, '\0');
    for (std::size_t at = 0; at < bytes.size(); ++at)
        bytes[at] = char(at * 7 % 253);
    constexpr std::size_t hole = 100;
    struct Case
    {
        const char* what;
        std::int64_t failAt; // the offset whose read fails, -1 never
        std::int64_t answer; // what that read answers
        int expected;
    } cases[] = {{"whole", -1, 0, 0},
                 {"unreadable", 2 * hole + DigestQueue::BlockSize, -EIO, EIO},
                 {"ended early", 2 * hole + 2 * DigestQueue::BlockSize, 0, ENODATA},
                 {"whole after them", -1, 0, 0}};
    DigestQueue queue;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        queue.beginReading([&](char* block, std::size_t size, std::uint64_t offset) {
            if (std::int64_t(offset) == c.failAt)
                return c.answer;
            std::memcpy(block, bytes.data() + offset, size);
            return std::int64_t(size);
        });
        queue.addRange(0, hole);
        queue.addZeros(hole);
        queue.addRange(2 * hole, 2 * DigestQueue::BlockSize);
        queue.addRange(2 * hole + 2 * DigestQueue::BlockSize,
                       bytes.size() - 2 * hole - 2 * DigestQueue::BlockSize);
        Os::Digest digest{};
        EXPECT_EQ(queue.finishReading(&digest), c.expected);
        if (c.expected == 0) {
            EXPECT_EQ(digest, digestOf(bytes.substr(0, hole) + std::string(hole, '\0') +
                                       bytes.substr(2 * hole)));
        }
    }
}

} // namespace
