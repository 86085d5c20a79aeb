// The walk that decides for every file before the copier writes anything, and what the copy of a
// plan keeps of its promises: checksums, verification, a stop between files and in the last one
// (links into an earlier set, never written through, in tst_backup); on Linux also a source that
// turns into something else. Holes and folders deeper than a path can name are the fault suite's.
#include "os_test_support.h"

namespace {

struct PlanCase
{
    const char* name;
    const char* target;         // content of target/<targetName>, or nullptr for none
    const char* targetName;     // the target's spelling
    const char* earlier;        // content of earlier/f.dat (a set to link from), or nullptr
    long long targetTimeOffset; // nanoseconds added to the source's time on the target side
    bool copyUnchanged;
    bool compareContent;
    Os::PlannedAction action;
};

class CopyPlan : public OsTest::Copying, public ::testing::WithParamInterface<PlanCase>
{
};

constexpr long long Time = 1500000001'250000000LL; // an odd second with a fraction
#ifdef _WIN32
constexpr long long Tick = 100; // the finest time NTFS keeps
#else
constexpr long long Tick = 1;
#endif

using A = Os::PlannedAction;
const PlanCase planCases[] = {
    {"new", nullptr, "f.dat", nullptr, 0, false, false, A::Copy},
    {"sameSizeAndTime", "abc", "f.dat", nullptr, 0, false, false, A::Unchanged},
    {"caseTwinKeepsItsSpelling", "abc", "F.DAT", nullptr, 0, false, false, A::Unchanged},
    // Not FAT: one tick, or a whole second within the old two-second window, is a change.
    {"oneTickLater", "abc", "f.dat", nullptr, Tick, false, false, A::Replace},
    {"wholeOddSecondBefore", "abc", "f.dat", nullptr, -250000000, false, false, A::Replace},
    {"wholeEvenSecondBefore", "abc", "f.dat", nullptr, -1250000000, false, false, A::Replace},
    {"sameTimeOtherSize", "abcd", "f.dat", nullptr, 0, false, false, A::Replace},
    {"full", "abc", "f.dat", nullptr, 0, true, false, A::Replace},
    // A restore reads the bytes: damage in place keeps size and time.
    {"restoreSameBytes", "abc", "f.dat", nullptr, 0, false, true, A::Unchanged},
    {"restoreDamaged", "abX", "f.dat", nullptr, 0, false, true, A::Replace},
    {"linkedFromEarlierSet", nullptr, "f.dat", "abc", 0, false, false, A::Link},
    {"earlierSetChanged", nullptr, "f.dat", "abd", Tick, false, false, A::Copy},
    {"earlierSetOnlyLinksNewFiles", "abcd", "f.dat", "abc", 0, false, false, A::Replace},
};

} // namespace

TEST_P(CopyPlan, ClassifiesEveryFile)
{
    const PlanCase& c = GetParam();
    dir.writeFile("source/f.dat", "abc");
    OsTest::setTime(dir.path("source/f.dat"), Time);
    if (c.target) {
        dir.writeFile(std::string("target/") + c.targetName, c.target);
        OsTest::setTime(dir.path(std::string("target/") + c.targetName), Time + c.targetTimeOffset);
    }
    request.copyUnchanged = c.copyUnchanged;
    request.compareContent = c.compareContent;
    if (c.earlier) {
        dir.writeFile("earlier/f.dat", c.earlier);
        OsTest::setTime(dir.path("earlier/f.dat"), Time + c.targetTimeOffset);
        request.linkFrom = dir.path("earlier");
    }
    // Planned, then carried out: the source's bytes under the target's spelling.
    ASSERT_TRUE(copy("source", "target", true));
    ASSERT_EQ(plan.files.size(), 1u);
    EXPECT_EQ(plan.files[0].action, c.action);
    EXPECT_EQ(plan.filePath(plan.files[0]), c.targetName);
    EXPECT_EQ(plan.bytesToWrite(), c.action == A::Copy || c.action == A::Replace ? 3u : 0u);
    EXPECT_EQ(plan.bytesReplaced, c.action == A::Replace ? std::string(c.target).size() : 0u);
    EXPECT_EQ(dir.readFile(std::string("target/") + c.targetName),
              c.action == A::Unchanged ? c.target : "abc");
}

INSTANTIATE_TEST_SUITE_P(Table, CopyPlan, ::testing::ValuesIn(planCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A plan's names fill one block after another; each is found again where it was put, the empty
// name at 0 included.
TEST(CopyPlanNames, StayWhereTheyWerePutAcrossBlocks)
{
    Os::CopyPlan plan;
    std::vector<std::pair<std::uint32_t, std::string>> added;
    for (int n = 0; n < 2000; ++n) {
        const std::string name = std::to_string(n) + std::string(std::size_t(n % 250), 'x');
        added.emplace_back(plan.addName(name), name);
    }
    EXPECT_EQ(plan.name(0), "");
    for (const auto& [at, name] : added)
        ASSERT_EQ(plan.name(at), name);
}

using PlannedCopy = OsTest::Copying;

// The checksum of what was read from the source is the XXH3-128 of the bytes (as `xxhsum -H2`
// prints it), a file of one block or of many that the system copies; every file learns what
// became of it, a folder's files before its subfolders.
TEST_F(PlannedCopy, KnowsTheChecksumAndResultOfEveryFile)
{
    std::string inner(3 << 20, '\0');
    for (std::size_t at = 0; at < inner.size(); ++at)
        inner[at] = char(at * 7 % 253);
    dir.writeFile("source/b/inner.dat", inner);
    dir.writeFile("source/z.dat", "abc");
    ASSERT_TRUE(copy("source", "target", true));
    ASSERT_EQ(plan.files.size(), 2u);
    EXPECT_EQ(plan.filePath(plan.files[0]), "z.dat");
    EXPECT_EQ(plan.filePath(plan.files[1]), "b/inner.dat");
    // xxhsum -H2 prints it as 06b05ab6733a618578af5f94892f3950.
    EXPECT_EQ(plan.files[0].digest, (Os::Digest{0x06, 0xb0, 0x5a, 0xb6, 0x73, 0x3a, 0x61, 0x85,
                                                0x78, 0xaf, 0x5f, 0x94, 0x89, 0x2f, 0x39, 0x50}));
    Os::Digest read{};
    std::string error;
    ASSERT_TRUE(Os::fileDigest(dir.path("target/b/inner.dat"), read, error));
    EXPECT_EQ(read, plan.files[1].digest);
    for (const Os::PlannedFile& file : plan.files)
        EXPECT_EQ(file.result, Os::FileResult::Written);
    ASSERT_TRUE(copy("source", "target", true));
    EXPECT_EQ(plan.files[0].result, Os::FileResult::Unchanged);
    EXPECT_EQ(outcome.filesCopied, 0u);
}

// A new folder is written under a temporary name and renamed into place with what is in it: one
// that appeared under its name meanwhile is reported once, and the copy leaves nothing there.
TEST_F(PlannedCopy, ReportsANewFolderThatAppearedMeanwhile)
{
    dir.writeFile("source/new/a.dat", "a");
    dir.writeFile("source/new/deep/b.dat", "b");
    request.afterFileData = [&](const std::string&, const std::string& written) {
        EXPECT_NE(written.find(".~zeb"), std::string::npos) << written;
        dir.writeFile("target/new/theirs.dat", "theirs");
    };
    EXPECT_FALSE(copy("source", "target", true));
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_EQ(outcome.failures[0].path, dir.path("target/new"));
    EXPECT_EQ(dir.names("target"), std::vector<std::string>{"new"});
    EXPECT_EQ(dir.names("target/new"), std::vector<std::string>{"theirs.dat"});
    EXPECT_EQ(outcome.filesCopied, 0u);
    for (const Os::PlannedFile& file : plan.files)
        EXPECT_EQ(file.result, Os::FileResult::Failed);
}

// With verification a copy that does not read back as its source is a failed file. A stop in the
// middle of the last file of a folder is a stop: the copy answers false and says cancelled, the
// file is dropped, the finished ones are put in place and no temporary file stays.
TEST_F(PlannedCopy, VerifiesCopiesAndStopsCleanlyInTheLastFile)
{
    dir.writeFile("source/a.dat", std::string(70000, 'a'));
    dir.writeFile("source/b.dat", "small");
    dir.writeFile("source/z.dat", std::string(8 << 20, 'z'));
    request.verify = true;
    request.afterFileData = [&](const std::string& source, const std::string& temporary) {
        if (source.ends_with("a.dat")) // damaged between the copy and the read-back
            std::fstream(temporary, std::ios::in | std::ios::out | std::ios::binary) << 'x';
    };
    std::uint64_t done = 0;
    request.onProgress = [&](std::uint64_t bytes) {
        done += bytes;
        if (done > (2 << 20))
            stop = true;
    };
    EXPECT_FALSE(copy("source", "target", true));
    EXPECT_TRUE(outcome.cancelled);
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_EQ(outcome.failures[0].path, dir.path("target/a.dat"));
    EXPECT_EQ(outcome.failures[0].reason, "verification failed");
    EXPECT_EQ(dir.names("target"), std::vector<std::string>{"b.dat"});
}

// A stop asked for once one file is written stops before the next: the first is in place, the
// second never started (empty, it would be written whole before any check in its data).
TEST_F(PlannedCopy, StopsBetweenFiles)
{
    dir.writeFile("source/a.dat", "first");
    dir.writeFile("source/b.dat", "");
    int started = 0;
    request.afterFileData = [&](const std::string&, const std::string&) {
        ++started;
        stop = true;
    };
    EXPECT_FALSE(copy("source", "target", true));
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(dir.names("target"), std::vector<std::string>{"a.dat"});
    EXPECT_EQ(plan.files[1].result, Os::FileResult::Pending);
}

#ifndef _WIN32

// A source swapped for a FIFO after the walk is refused at once: opened for reading, it would wait
// for a writer for ever.
TEST_F(PlannedCopy, RefusesASourceThatBecameAFifo)
{
    dir.writeFile("source/db.dat", "data");
    request.from = dir.path("source") + Os::PathSeparator + "*.*";
    request.to = dir.path("target");
    ASSERT_TRUE(Os::planCopy(request, plan));
    ASSERT_EQ(::unlink(dir.path("source/db.dat").c_str()), 0);
    ASSERT_EQ(::mkfifo(dir.path("source/db.dat").c_str(), 0644), 0);
    EXPECT_FALSE(Os::copyFolder(request, plan, outcome));
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_EQ(outcome.failures[0].side, Os::CopySide::Source);
    EXPECT_EQ(outcome.failures[0].reason, "it is neither a file nor a folder");
    EXPECT_FALSE(std::filesystem::exists(dir.path("target/db.dat")));
}

#endif
