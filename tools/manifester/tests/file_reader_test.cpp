// The bounded file reader over a scripted read: what each read answers is
// set by the case, so that reads that give more than they were asked for,
// signals and errors come exactly where the case puts them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tools/manifester/file_reader.h"

using namespace manifester;

namespace {

// What one read answers. After the script, every read gives what it was
// asked for.
struct Answer {
    enum Kind { Gives, GivesOneMore, Interrupted, Fails } kind;
    size_t bytes = 0;  // for Gives: at most this many
};

const Answer interrupted = {Answer::Interrupted};

struct Script {
    std::vector<uint8_t> file;
    std::vector<Answer> answers;
    size_t reads = 0;
};
Script script;

ssize_t ScriptedRead(int, void* buffer, size_t size, off_t offset) {
    Answer answer = script.reads < script.answers.size() ? script.answers[script.reads] : Answer{Answer::Gives, size};
    ++script.reads;
    size_t left = script.file.size() - size_t(offset);
    size_t count = std::min(std::min(size, answer.bytes), left);
    switch (answer.kind) {
        case Answer::Interrupted:
            errno = EINTR;
            return -1;
        case Answer::Fails:
            errno = EIO;
            return -1;
        case Answer::GivesOneMore:
            count = std::min(size, left);
            memcpy(buffer, script.file.data() + offset, count);
            return ssize_t(count + 1);
        case Answer::Gives:
            break;
    }
    memcpy(buffer, script.file.data() + offset, count);
    return ssize_t(count);
}

std::vector<Answer> Repeated(Answer answer, int count) { return std::vector<Answer>(size_t(count), answer); }

std::vector<Answer> Then(std::vector<Answer> first, const std::vector<Answer>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// A read that claims more bytes than it was asked for is a failure, not
// bytes to take; a signal interrupts a read that is tried again, until
// zk_interrupted_reads_in_a_row reads in a row were interrupted, a count
// that starts again after every read that gave bytes.
TEST(FileReader, ReadsThatClaimTooMuchOrAreInterruptedTooOftenInARowFail) {
    const int limit = zk_interrupted_reads_in_a_row;
    const Answer one_byte = {Answer::Gives, 1};
    struct Case {
        const char* name;
        std::vector<Answer> answers;
        bool read;
        size_t reads;
    } cases[] = {
        {"as asked", {}, true, 1},
        {"one byte more than asked for", {{Answer::GivesOneMore}}, false, 1},
        {"a byte at a time, then one more than asked for", {one_byte, one_byte, {Answer::GivesOneMore}}, false, 3},
        {"an error", {{Answer::Fails}}, false, 1},
        {"the end before the size", {{Answer::Gives, 0}}, false, 1},
        {"interrupted once less than the limit", Repeated(interrupted, limit - 1), true, size_t(limit)},
        {"interrupted up to the limit", Repeated(interrupted, limit), false, size_t(limit)},
        {"interrupted once less than the limit, twice, a byte between",
         Then(Then(Repeated(interrupted, limit - 1), {one_byte}), Repeated(interrupted, limit - 1)), true,
         size_t(2 * limit)},
        {"interrupted up to the limit after a byte",
         Then(Then(Repeated(interrupted, limit - 1), {one_byte}), Repeated(interrupted, limit)), false,
         size_t(2 * limit)},
    };
    std::unique_ptr<zk_file_reader_t> reader(new zk_file_reader_t);
    for (const Case& c : cases) {
        script = Script{};
        for (int i = 0; i < 1000; ++i) script.file.push_back(uint8_t(i * 7));
        script.answers = c.answers;
        ZKI_BeginFileReader(reader.get(), -1, script.file.size(), ScriptedRead);
        std::vector<uint8_t> out(script.file.size(), 0xEE);
        EXPECT_EQ(ZKI_CopyFileBytes(reader.get(), 0, out.data(), out.size()), c.read) << c.name;
        EXPECT_EQ(reader->failed, !c.read) << c.name;
        EXPECT_EQ(script.reads, c.reads) << c.name;
        if (c.read) {
            EXPECT_EQ(out, script.file) << c.name;
        } else {
            // Nothing more is read once the reading failed.
            const uint8_t* bytes;
            EXPECT_EQ(ZKI_FileBytesAt(reader.get(), 0, &bytes), 0u) << c.name;
            EXPECT_EQ(script.reads, c.reads) << c.name;
        }
    }
}

}  // namespace
