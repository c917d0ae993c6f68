// Leaderboards kept on the device: the limit per category, the answered
// pages, the extra data, the saved file and submissions from many threads.

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/base/tests/fifo_releaser.h"
#include "engine/base/tests/file_size_limit.h"
#include "engine/services/local_leaderboards.h"
#include "engine/services/tests/answer_test_support.h"
#include "engine/services/tests/stand_in_files.h"
#include "engine/storage/database_manager.h"
#include "engine/datamodel/scrambler.h"

namespace services_test {
namespace {

using InnerZK::DMArray;
using InnerZK::DMDatabase;
using InnerZK::DMNode;

// A score with these points and this extra data.
zk_score_t Score(int points, const std::vector<uint8_t>& data = {}) {
    zk_score_t score = {};
    score.points = points;
    for (size_t i = 0; i < data.size() && i < sizeof(score.extra_data); ++i) score.extra_data[i] = data[i];
    score.extra_data_length = static_cast<int>(data.size());
    return score;
}

// The same arrays (by id text: a loaded array keeps no id hash) with the
// same nodes and values, in the same order.
bool SameContent(const DMDatabase& a, const DMDatabase& b) {
    if (a.GetNumberOfArrays() != b.GetNumberOfArrays()) return false;
    for (int i = 0; i < a.GetNumberOfArrays(); ++i) {
        DMArray* x = a.GetArrayByIndex(i);
        DMArray* y = b.GetArrayByIndex(i);
        if (Text(x->id) != Text(y->id) || x->GetNumberOfNodes() != y->GetNumberOfNodes()) return false;
        for (int n = 0; n < x->GetNumberOfNodes(); ++n)
            if (!x->GetNodeByIndex(n)->Equals(y->GetNodeByIndex(n))) return false;
    }
    return true;
}

// A score's extra data as its bytes.
std::vector<int> DataOf(const zk_score_t& score) {
    return std::vector<int>(score.extra_data, score.extra_data + score.extra_data_length);
}

class LocalLeaderboardsTest : public AnswersTest {
protected:
    void SetUp() override {
        AnswersTest::SetUp();
        SetCategories({{"Coins", nullptr}, {"Laps", "LOWEST_SCORE_FIRST"}});
    }
    void TearDown() override {
        boards.reset();
        for (const std::string& path : opened) zk_dman.ReleaseDatabase(path.c_str());
        AnswersTest::TearDown();
    }

    // A store on a file of that name in the test's folder.
    LocalLeaderboardsImplementation* Open(const std::string& name = "leaderboards.xml") {
        path = folder / name;
        boards.reset();
        boards.reset(new LocalLeaderboardsImplementation(path.c_str()));
        opened.push_back(path);
        return boards.get();
    }
    // Starts again on the same file, as a new run does.
    void Restart() {
        boards.reset();
        zk_dman.ReleaseDatabase(path.c_str());
        boards.reset(new LocalLeaderboardsImplementation(path.c_str()));
    }

    Answer Request(int first, int count, zk_leaderboard_filter_t filter, const char* category) {
        EXPECT_TRUE(boards->RequestScores(first, count, filter, category));
        std::vector<Answer> answers = DeliverAnswers();
        EXPECT_EQ(answers.size(), 1u);
        return answers.empty() ? Answer() : answers[0];
    }

    DMArray* Stored(const char* category) { return boards->GetServer()->GetDatabase()->GetArrayById(category); }

    // The stored points of a category in storage order.
    std::vector<int> StoredPoints(const char* category) {
        std::vector<int> points;
        DMArray* scores = Stored(category);
        for (int i = 0; scores && i < scores->GetNumberOfNodes(); ++i)
            points.push_back(atoi(scores->GetNodeByIndex(i)->GetValue("points")));
        return points;
    }

    TempFolder folder;
    std::string path;
    std::unique_ptr<LocalLeaderboardsImplementation> boards;
    std::vector<std::string> opened;
};

TEST_F(LocalLeaderboardsTest, ACategoryKeepsItsHundredBestScoresDroppingTheWorstStoredLast) {
    struct Case {
        const char* category;  // Coins: highest first, Laps: lowest first
        int points;            // the 101st score, after 1 .. 100
        bool kept;
        int dropped;           // when it is kept: the stored points that go
    } cases[] = {
        {"Coins", 0, false, 0},  {"Coins", 1, false, 0}, {"Coins", 50, true, 1},
        {"Laps", 101, false, 0}, {"Laps", 100, false, 0}, {"Laps", 0, true, 100},
    };
    int store = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.category) + " " + std::to_string(c.points));
        Open("limit" + std::to_string(store++) + ".xml");
        for (int points = 1; points <= 100; ++points) boards->SubmitScore(0, Score(points), c.category);
        boards->SubmitScore(0, Score(c.points, {200}), c.category);

        std::vector<int> expected;
        for (int points = 1; points <= 100; ++points) expected.push_back(points);
        if (c.kept) expected.push_back(c.points);
        if (c.kept) expected.erase(std::find(expected.begin(), expected.end(), c.dropped));
        EXPECT_EQ(StoredPoints(c.category), expected);
        DMArray* scores = Stored(c.category);
        EXPECT_EQ(scores->GetFirstNodeWithValue("data", "200") != nullptr, c.kept);
        Answer all = Request(1, 200, 0, c.category);
        EXPECT_EQ(all.total, 100);
        EXPECT_EQ(all.count, 100);
    }
}

TEST_F(LocalLeaderboardsTest, ARequestAnswersItsWindowOfTheSortedListRankedByPosition) {
    struct Case {
        const char* category;
        int first, count;
        std::vector<int> tags;  // the scores answered, by their data byte
        int first_rank;
    } cases[] = {
        // 50 (tag 2) was stored before the other 50 (tag 4): it stays ahead.
        {"Coins", 1, 5, {2, 4, 3, 5, 1}, 1},
        {"Coins", 0, 3, {2, 4}, 1},
        {"Coins", 5, 3, {1}, 5},
        {"Coins", 6, 3, {}, 0},
        {"Coins", 2, 0, {}, 0},
        {"Coins", 2, -7, {}, 0},
        {"Coins", -2, INT_MAX, {2, 4, 3, 5, 1}, 1},
        {"Coins", INT_MAX, INT_MAX, {}, 0},
        {"Coins", INT_MIN, INT_MAX, {}, 0},
        {"Laps", 1, 30, {1, 5, 3, 2, 4}, 1},
        {"Laps", 4, 2, {2, 4}, 4},
    };
    Open();
    const int points[] = {10, 50, 30, 50, 20};
    for (const char* category : {"Coins", "Laps"})
        for (int i = 0; i < 5; ++i) boards->SubmitScore(0, Score(points[i], {uint8_t(i + 1)}), category);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.category) + " " + std::to_string(c.first) + " " + std::to_string(c.count));
        Answer answer = Request(c.first, c.count, 0, c.category);
        EXPECT_EQ(answer.type, ZK_EVENT_LEADERBOARD_SCORES);
        EXPECT_EQ(answer.success, 1u);
        EXPECT_EQ(answer.category, c.category);
        EXPECT_EQ(answer.total, 5);
        EXPECT_EQ(answer.first, c.first);
        EXPECT_EQ(answer.count, static_cast<int>(c.tags.size()));
        EXPECT_EQ(answer.scores_null, c.tags.empty());
        std::vector<int> tags, ranks, expected_ranks;
        for (size_t i = 0; i < answer.scores.size(); ++i) {
            tags.push_back(answer.scores[i].extra_data[0]);
            ranks.push_back(answer.scores[i].rank);
            expected_ranks.push_back(c.first_rank + static_cast<int>(i));
        }
        EXPECT_EQ(tags, c.tags);
        EXPECT_EQ(ranks, expected_ranks);
    }
}

TEST_F(LocalLeaderboardsTest, RequestsWithoutStoredScoresAnswerSuccessWithNone) {
    struct Case {
        const char* category;
        zk_leaderboard_filter_t filter;
        const char* line;
    } cases[] = {
        {"Coins", 1, "info: Sending event with no scores (0 scores in category) for category 'Coins' with filter 'FRIENDS'"},
        {"Coins", 9, "info: Sending event with no scores (0 scores in category) for category 'Coins' with filter 'ERROR'"},
        {"Laps", 0, "info: No scores in category 'Laps', returning 0 scores."},
        {nullptr, 0, "info: No scores in category '(null)', returning 0 scores."},
    };
    Open();
    boards->SubmitScore(0, Score(5), "Coins");
    for (const Case& c : cases) {
        SCOPED_TRACE(Text(c.category) + " " + std::to_string(c.filter));
        Lines().clear();
        Answer answer = Request(1, 10, c.filter, c.category);
        EXPECT_EQ(answer.success, 1u);
        EXPECT_EQ(answer.total, 0);
        EXPECT_EQ(answer.count, 0);
        EXPECT_EQ(answer.first, 0);
        EXPECT_EQ(answer.filter, c.filter);
        EXPECT_TRUE(answer.scores_null);
        EXPECT_TRUE(WasLogged(c.line));
    }
}

TEST_F(LocalLeaderboardsTest, TheUserScoreIsAPlaceholderAndAroundTheUserMeansFromTheTop) {
    Open();
    for (int points : {3, 9, 6, 1}) boards->SubmitScore(0, Score(points), "Coins");

    EXPECT_TRUE(boards->RequestUserScore(2, "Coins"));
    std::vector<Answer> answers = DeliverAnswers();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].success, 1u);
    EXPECT_EQ(answers[0].total, -1);
    EXPECT_EQ(answers[0].count, 0);
    EXPECT_TRUE(WasLogged("info: Returning dummy player score for category 'Coins'"));
    EXPECT_TRUE(
        WasLogged("info: Sending event with no scores (-1 scores in category) for category 'Coins' with filter 'GLOBAL'"));

    EXPECT_TRUE(boards->RequestScoresAroundUserRank(3, 2, "Coins"));
    answers = DeliverAnswers();
    ASSERT_EQ(answers.size(), 1u);
    ASSERT_EQ(answers[0].count, 2);
    EXPECT_EQ(answers[0].scores[0].points, 9);
    EXPECT_EQ(answers[0].scores[1].points, 6);
    EXPECT_TRUE(
        WasLogged("info: Sending event with scores 1..2 (2 scores of 4) for category 'Coins' with filter 'GLOBAL'"));
}

TEST_F(LocalLeaderboardsTest, ExtraDataIsStoredAsDecimalBytesAndItsLengthIsKeptWithinTheField) {
    std::vector<uint8_t> full(188), beyond(188);
    for (int i = 0; i < 188; ++i) full[i] = beyond[i] = static_cast<uint8_t>(i);
    std::string full_text;
    for (int i = 0; i < 188; ++i) full_text += (i ? " " : "") + std::to_string(i);
    struct Case {
        std::vector<uint8_t> data;
        int claimed;            // -1: the data's size
        const char* stored;     // the "data" value; null: none
        int read_back_length;
    } cases[] = {
        {{1, 22, 255}, -1, "1 22 255", 3},
        {{}, -1, nullptr, 0},
        {{7}, 0, nullptr, 0},
        {{7}, -5, nullptr, 0},
        {full, -1, full_text.c_str(), 188},
        {beyond, 100000, full_text.c_str(), 188},
    };
    Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.data.size()) + " claimed " + std::to_string(c.claimed));
        zk_score_t score = Score(1, c.data);
        if (c.claimed != -1) score.extra_data_length = c.claimed;
        boards->SubmitScore(0, score, "Coins");
        DMArray* scores = Stored("Coins");
        DMNode* node = scores->GetNodeByIndex(scores->GetNumberOfNodes() - 1);
        EXPECT_STREQ(node->GetValue("data"), c.stored);
        zk_score_t back = boards->GetServer()->ScoreOfNode(node);
        EXPECT_EQ(back.extra_data_length, c.read_back_length);
        std::vector<int> expected(c.data.begin(), c.data.begin() + c.read_back_length);
        EXPECT_EQ(DataOf(back), expected);
        // The player name is the local date and time of the submission.
        int year, month, day, hour, minute;
        EXPECT_EQ(sscanf(back.player_name, "%4d-%2d-%2d %2d:%2d", &year, &month, &day, &hour, &minute), 5);
        EXPECT_EQ(strlen(back.player_name), 16u);
        EXPECT_EQ(back.points, 1);
    }
}

TEST_F(LocalLeaderboardsTest, StoredDataValuesAreReadBackPieceByPiece) {
    std::string many, too_many, long_piece(511, '0'), longer_piece(512, '0');
    for (int i = 0; i < 188; ++i) many += "9 ";
    too_many = many + "9";
    long_piece.back() = '7';
    longer_piece.back() = '7';
    struct Case {
        std::string value;
        std::vector<int> bytes;
    } cases[] = {
        {"1 2 ", {1, 2}},
        {"", {}},
        {"300 -1 x", {44, 255, 0}},
        {"4  5", {4, 0, 5}},
        {many, std::vector<int>(188, 9)},
        {too_many, {}},
        {long_piece, {7}},
        {longer_piece + " 3", {0, 3}},
    };
    Open();
    DMArray* scores = boards->GetServer()->GetDatabase()->AddArray("Coins");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.substr(0, 20));
        DMNode* node = scores->AddNode(nullptr);
        node->SetValue("player", "someone");
        node->SetValue("data", c.value.c_str());
        zk_score_t score = boards->GetServer()->ScoreOfNode(node);
        EXPECT_EQ(DataOf(score), c.bytes);
        EXPECT_STREQ(score.player_name, "someone");
        EXPECT_EQ(score.points, 0);
    }
}

TEST_F(LocalLeaderboardsTest, TheFileIsScrambledOutsideDeveloperModeAndReadsBackAfterARestart) {
    struct Case {
        int developer_mode;
        bool scrambled;
    } cases[] = {{0, true}, {1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.developer_mode);
        zk_state.developer_mode = c.developer_mode;
        Open("saved" + std::to_string(c.developer_mode) + ".xml");
        boards->SubmitScore(0, Score(12, {1, 2}), "Coins");
        boards->SubmitScore(0, Score(7), "Laps");
        boards->SubmitScore(0, Score(40), "Coins");

        std::string bytes = ReadBytes(path);
        EXPECT_EQ(Scrambler::IsScrambled(bytes.data(), static_cast<long long>(bytes.size())), c.scrambled);
        if (!c.scrambled) {
            EXPECT_EQ(bytes.compare(0, 1, "<"), 0);
        }
        DMDatabase file;
        ASSERT_TRUE(file.Load(path.c_str()));
        EXPECT_TRUE(SameContent(file, *boards->GetServer()->GetDatabase()));

        Answer before = Request(1, 10, 0, "Coins");
        Restart();
        Answer after = Request(1, 10, 0, "Coins");
        ASSERT_EQ(after.count, 2);
        EXPECT_EQ(after.scores[0].points, 40);
        EXPECT_EQ(DataOf(after.scores[1]), (std::vector<int>{1, 2}));
        EXPECT_STREQ(after.scores[1].player_name, before.scores[1].player_name);
        EXPECT_EQ(StoredPoints("Laps"), std::vector<int>{7});
    }
}

// A file that exists but does not load (cut short at any byte, or
// scrambled with only its last byte lost) is kept under a name of its own
// before anything is saved, with one warning after the loader's; a file
// that loads is never moved. Either way no stored score is lost.
TEST_F(LocalLeaderboardsTest, AFileThatDoesNotLoadIsKeptAsideBeforeAnythingIsSaved) {
    std::string files[2];
    for (int developer_mode : {1, 0}) {
        zk_state.developer_mode = developer_mode;
        Open("whole" + std::to_string(developer_mode) + ".xml");
        boards->SubmitScore(0, Score(12, {1, 2}), "Coins");
        boards->SubmitScore(0, Score(7), "Laps");
        files[developer_mode] = ReadBytes(path);
    }
    const std::string& plain = files[1];
    const std::string& scrambled = files[0];
    struct Cut {
        std::string bytes;
        int developer_mode;
    };
    std::vector<Cut> cuts;
    for (size_t n = 0; n < plain.size(); ++n) cuts.push_back({plain.substr(0, n), 1});
    cuts.push_back({scrambled.substr(0, scrambled.size() - 1), 0});

    const std::string cut = folder / "cut.xml";
    const std::string kept = cut + ".damaged";
    int kept_aside = 0;
    for (const Cut& c : cuts) {
        SCOPED_TRACE(c.bytes.size());
        boards.reset();
        zk_dman.ReleaseDatabase(cut.c_str());
        std::remove(kept.c_str());
        zk_state.developer_mode = c.developer_mode;
        WriteBytes(cut, c.bytes);
        DMDatabase probe;
        bool loads = probe.Load(cut.c_str());
        if (c.developer_mode == 0) {
            EXPECT_FALSE(loads) << "scrambled, without its last byte";
        }
        Lines().clear();

        Open("cut.xml");
        std::vector<std::string> opening = Lines();
        boards->SubmitScore(0, Score(40), "Coins");
        if (loads) {
            EXPECT_FALSE(FileExists(kept));
            EXPECT_TRUE(opening.empty());
            EXPECT_EQ(StoredPoints("Coins"), (std::vector<int>{12, 40}));
            continue;
        }
        ++kept_aside;
        EXPECT_EQ(ReadBytes(kept), c.bytes);
        ASSERT_GE(opening.size(), 2u);
        EXPECT_EQ(opening.back(),
                  "popup warning: Local leaderboards file '" + cut + "' could not be read; it is kept as '" + kept + "'.");
        EXPECT_EQ(opening[opening.size() - 2].rfind("popup warning: ", 0), 0u) << "the loader's own message first";
        EXPECT_EQ(StoredPoints("Coins"), std::vector<int>{40});
        DMDatabase saved;
        EXPECT_TRUE(saved.Load(cut.c_str()));
    }
    EXPECT_EQ(kept_aside, int(cuts.size()) - 1) << "only the plain file without its last line feed loads";

    // A second damaged file takes the next free name; with every name
    // taken the file stays as it is and nothing is saved over it.
    boards.reset();
    zk_dman.ReleaseDatabase(cut.c_str());
    WriteBytes(cut, "<root>");
    Open("cut.xml");
    EXPECT_EQ(ReadBytes(cut + ".damaged-2"), "<root>");
    for (int number = 3; number <= 99; ++number) WriteBytes(cut + ".damaged-" + std::to_string(number), "");
    boards.reset();
    zk_dman.ReleaseDatabase(cut.c_str());
    WriteBytes(cut, "<root>");
    Lines().clear();
    Open("cut.xml");
    EXPECT_EQ(Lines().back(), "popup warning: Local leaderboards file '" + cut +
                                  "' could not be read nor kept aside; scores are not saved this run.");
    boards->SubmitScore(0, Score(40), "Coins");
    EXPECT_EQ(ReadBytes(cut), "<root>");
    EXPECT_EQ(Request(1, 10, 0, "Coins").reason, "Not yet initialized.");
}

// What stands at the first kept name is left as it is, whatever it is, and
// the file goes to the next name, whether it is moved there or (where the
// file system cannot move it) copied. A folder there once refused the copy
// although the next name was free; a FIFO held the copy until something
// read it; a link took the copy to where it points. The same holds for
// what is put at the name after it was looked at and before the file goes
// there (the look is told it saw nothing): the copy was once made through
// a link put there in that moment, and a plain rename would replace a
// file, a FIFO or a link standing there.
TEST_F(LocalLeaderboardsTest, ADamagedFileIsKeptUnderTheFirstNameWhereNothingStands) {
    enum Kind { FOLDER, FIFO, DANGLING_LINK, LINK_TO_FILE, REGULAR_FILE };
    struct Case {
        const char* what;
        Kind kind;
        mode_t type;  // what lstat must still find there
    } cases[] = {
        {"a folder", FOLDER, S_IFDIR},
        {"a FIFO", FIFO, S_IFIFO},
        {"a link that leads nowhere", DANGLING_LINK, S_IFLNK},
        {"a link to a file", LINK_TO_FILE, S_IFLNK},
        {"a file", REGULAR_FILE, S_IFREG},
    };
    int store = 0;
    for (bool moved : {true, false}) {
        for (bool after_the_look : {false, true}) {
            for (const Case& c : cases) {
                SCOPED_TRACE(std::string(c.what) + (after_the_look ? ", put there after the look" : "") +
                             (moved ? ", moved" : ", copied"));
                std::string name = "boards" + std::to_string(store) + ".xml";
                std::string file = folder / name;
                std::string first = file + ".damaged";
                std::string elsewhere = folder / ("elsewhere" + std::to_string(store++));
                WriteBytes(file, "<root>");
                int made = 0;
                if (c.kind == FOLDER) made = mkdir(first.c_str(), 0700);
                if (c.kind == FIFO) made = mkfifo(first.c_str(), 0600);
                if (c.kind == LINK_TO_FILE) WriteBytes(elsewhere, "victim");
                if (c.kind == DANGLING_LINK || c.kind == LINK_TO_FILE) made = symlink(elsewhere.c_str(), first.c_str());
                if (c.kind == REGULAR_FILE) WriteBytes(first, "older");
                ASSERT_EQ(made, 0);
                StandInFiles files;
                if (after_the_look) files.LookedFree(first);
                if (!moved) files.CannotMove();
                std::unique_ptr<FifoDrainer> drainer(c.kind == FIFO ? new FifoDrainer(first) : nullptr);
                Lines().clear();

                Open(name);
                if (drainer) {
                    EXPECT_FALSE(drainer->Finish()) << "the copy waited for a reader";
                }
                ASSERT_FALSE(Lines().empty());
                EXPECT_EQ(Lines().back(), "popup warning: Local leaderboards file '" + file +
                                              "' could not be read; it is kept as '" + first + "-2'.");
                EXPECT_EQ(ReadBytes(first + "-2"), "<root>");
                EXPECT_FALSE(FileExists(file));
                if (c.kind == LINK_TO_FILE) {
                    EXPECT_EQ(ReadBytes(elsewhere), "victim") << "written through the link";
                } else {
                    EXPECT_FALSE(FileExists(elsewhere)) << "written through the link";
                }
                struct stat status;
                ASSERT_EQ(lstat(first.c_str(), &status), 0);
                EXPECT_EQ(status.st_mode & S_IFMT, c.type);
                if (c.kind == REGULAR_FILE) {
                    EXPECT_EQ(ReadBytes(first), "older");
                }
                boards->SubmitScore(0, Score(40), "Coins");
                DMDatabase saved;
                EXPECT_TRUE(saved.Load(file.c_str()));
            }
        }
    }
}

// "<file>.damaged-99" is the last name a damaged file is kept under: it is
// used when every name before it is taken, and with it taken too the file
// stays where it is.
TEST_F(LocalLeaderboardsTest, TheNinetyNinthKeptNameIsTheLastOne) {
    const std::string file = folder / "boards.xml";
    WriteBytes(file + ".damaged", "");
    for (int number = 2; number <= 98; ++number) WriteBytes(file + ".damaged-" + std::to_string(number), "");
    for (const char* bytes : {"<first", "<second"}) {
        SCOPED_TRACE(bytes);
        boards.reset();
        zk_dman.ReleaseDatabase(file.c_str());
        WriteBytes(file, bytes);
        Lines().clear();
        Open("boards.xml");
        ASSERT_FALSE(Lines().empty());
        boards->SubmitScore(0, Score(40), "Coins");
        EXPECT_EQ(ReadBytes(file + ".damaged-99"), "<first");
        EXPECT_FALSE(FileExists(file + ".damaged-100"));
    }
    EXPECT_EQ(Lines().back(), "popup warning: Local leaderboards file '" + file +
                                  "' could not be read nor kept aside; scores are not saved this run.");
    EXPECT_EQ(ReadBytes(file), "<second");
}

// Where the file cannot be moved it is copied, and a copy that does not
// hold every byte is no copy: it is removed, the damaged file stays where
// it is, and nothing is saved over it. A small
// file sits in the stream's buffer until the close, so only the close
// fails; a large one makes the write itself come up short. A file that
// comes up short while it is read (it shrank, or its disk failed) gives
// fewer bytes than its size, in the middle or only at its very end.
TEST_F(LocalLeaderboardsTest, ADamagedFileWhoseCopyFailsStaysWhereItIs) {
    const size_t large = 256 * 1024;
    struct Case {
        const char* what;
        size_t size;
        rlim_t limit;      // 0: none
        size_t delivered;  // the bytes its reads give
    } cases[] = {
        {"the close fails", 2000, 1000, 2000},
        {"the write comes up short", large, 64 * 1024, large},
        {"a read comes up short", large, 0, 100 * 1024},
        {"the last read comes up short", large + 5, 0, large + 4},
    };
    int store = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string name = "boards" + std::to_string(store++) + ".xml";
        std::string file = folder / name;
        std::string bytes = "<root>" + std::string(c.size - 6, 'x');
        WriteBytes(file, bytes);
        StandInFiles files;
        files.CannotMove();
        if (c.delivered < c.size) files.Serve(file, {c.size, c.delivered, {{0, bytes}}});
        Lines().clear();
        {
            std::unique_ptr<FileSizeLimit> limit(c.limit ? new FileSizeLimit(c.limit) : nullptr);
            ASSERT_TRUE(!limit || limit->set);
            Open(name);
        }
        ASSERT_FALSE(Lines().empty());
        EXPECT_EQ(Lines().back(), "popup warning: Local leaderboards file '" + file +
                                      "' could not be read nor kept aside; scores are not saved this run.");
        EXPECT_FALSE(FileExists(file + ".damaged")) << "the part of the copy that was written";
        boards->SubmitScore(0, Score(40), "Coins");
        EXPECT_TRUE(ReadBytes(file) == bytes) << "the damaged file was changed";
        EXPECT_EQ(Request(1, 10, 0, "Coins").reason, "Not yet initialized.");
    }
}

// Every byte of the damaged file is kept, also bytes that are no text, in
// a file far larger than any buffer, whether it is moved or copied; the
// damaged file itself is gone before anything is saved.
TEST_F(LocalLeaderboardsTest, AKeptFileHoldsEveryByteAndTheDamagedFileIsGone) {
    std::string bytes;
    for (size_t i = 0; i < 300 * 1024 + 7; ++i) bytes.push_back(static_cast<char>((i * 131 + i / 256) & 0xFF));
    for (bool moved : {true, false}) {
        SCOPED_TRACE(moved ? "moved" : "copied");
        std::string name = moved ? "moved.xml" : "copied.xml";
        const std::string file = folder / name;
        WriteBytes(file, bytes);
        DMDatabase probe;
        ASSERT_FALSE(probe.Load(file.c_str()));
        StandInFiles files;
        if (!moved) files.CannotMove();
        Open(name);
        EXPECT_FALSE(FileExists(file));
        std::string kept = ReadBytes(file + ".damaged");
        EXPECT_EQ(kept.size(), bytes.size());
        EXPECT_TRUE(kept == bytes) << "the kept file differs";
    }
}

// The damaged file is moved aside, not copied: the kept name is the same
// file (nothing of it is read, however large it is: a file of 40 GiB of
// holes once took 30 s and more to copy at start-up), and what is written
// to it after it was looked at (by a writer that had it open) is kept with
// it. A copy taken of the size seen at the start lost those bytes.
TEST_F(LocalLeaderboardsTest, ADamagedFileIsMovedAsideWithEverythingWrittenToIt) {
    const std::string file = folder / "boards.xml";
    WriteBytes(file, "<root>");
    ASSERT_EQ(truncate(file.c_str(), off_t(4) << 30), 0);
    struct stat before;
    ASSERT_EQ(stat(file.c_str(), &before), 0);
    int writer = open(file.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(writer, 0);

    Open("boards.xml");
    const std::string kept = file + ".damaged";
    ASSERT_EQ(write(writer, "added", 5), 5);
    ASSERT_EQ(close(writer), 0);
    EXPECT_FALSE(FileExists(file));
    struct stat after;
    ASSERT_EQ(stat(kept.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the file was copied";
    EXPECT_EQ(after.st_dev, before.st_dev) << "the file was copied";
    EXPECT_EQ(uint64_t(after.st_size), (uint64_t(4) << 30) + 5);
    FILE* in = fopen(kept.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    std::string head(6, '?'), tail(5, '?');
    head.resize(fread(&head[0], 1, head.size(), in));
    ASSERT_EQ(fseeko(in, off_t(4) << 30, SEEK_SET), 0);
    tail.resize(fread(&tail[0], 1, tail.size(), in));
    fclose(in);
    EXPECT_EQ(head, "<root>");
    EXPECT_EQ(tail, "added") << "what was written after the start is lost";
    boards->SubmitScore(0, Score(40), "Coins");
    DMDatabase saved;
    EXPECT_TRUE(saved.Load(file.c_str()));
}

// Writes the bytes into the file at that offset, leaving what lies around
// them as it is (a hole where nothing was written yet).
void WriteBytesAt(const std::string& path, off_t offset, const std::string& bytes) {
    FILE* file = fopen(path.c_str(), "r+b");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(fseeko(file, offset, SEEK_SET), 0);
    ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    ASSERT_EQ(fclose(file), 0);
}

// The largest resident size this process has had, in bytes.
long long PeakResidentBytes() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<long long>(usage.ru_maxrss) * 1024;
}

// Damaged files made mostly of holes, as a file cut to a length it never
// had leaves them, where the file cannot be moved and is copied. One of
// 2 GiB and 5 bytes once overflowed the buffer the whole file was read
// into: the size was cut to an int. The copy goes
// piece by piece in little memory, holds the same bytes at the same places
// (also a piece after a hole, and a hole at the very end), and keeps the
// holes, so that it costs the disk no more than the file. The large file
// is served from memory: reading 2 GiB of holes from the disk takes
// seconds and fills as much of the page cache; the copy is a real file.
TEST_F(LocalLeaderboardsTest, AFileOfHolesIsKeptAsideWhateverItsSize) {
    struct Case {
        const char* what;
        bool on_disk;
        uint64_t size;
        std::vector<std::pair<uint64_t, std::string>> bytes;
    } cases[] = {
        {"2 GiB and 5 bytes, ending in a hole", false, (uint64_t(1) << 31) + 5, {{0, "<root>"}, {1 << 20, "x"}}},
        {"on the disk", true, 4 << 20, {{0, "<root>"}, {200 * 1024 + 17, "middle"}, {(4 << 20) - 3, "end"}}},
    };
    int store = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string name = "holes" + std::to_string(store++) + ".xml";
        const std::string file = folder / name;
        WriteBytes(file, "<root>");
        StandInFiles files;
        files.CannotMove();
        if (c.on_disk) {
            ASSERT_EQ(truncate(file.c_str(), off_t(c.size)), 0);
            for (const auto& piece : c.bytes) WriteBytesAt(file, off_t(piece.first), piece.second);
        } else {
            files.Serve(file, {c.size, c.size, c.bytes});
        }
        long long peak = PeakResidentBytes();

        Open(name);
        EXPECT_LT(PeakResidentBytes() - peak, 64LL << 20) << "the file was held in memory";
        EXPECT_FALSE(FileExists(file));
        const std::string kept = file + ".damaged";
        struct stat copy;
        ASSERT_EQ(stat(kept.c_str(), &copy), 0);
        EXPECT_EQ(uint64_t(copy.st_size), c.size);
        EXPECT_LT(copy.st_blocks * 512, 1 << 20) << "the holes were written out";
        FILE* in = fopen(kept.c_str(), "rb");
        ASSERT_NE(in, nullptr);
        // Each piece with the hole byte before it.
        for (const auto& piece : c.bytes) {
            uint64_t from = piece.first > 0 ? piece.first - 1 : 0;
            std::string expected = (piece.first > 0 ? std::string(1, '\0') : "") + piece.second;
            std::string bytes(expected.size(), '?');
            ASSERT_EQ(fseeko(in, off_t(from), SEEK_SET), 0);
            bytes.resize(fread(&bytes[0], 1, bytes.size(), in));
            EXPECT_EQ(bytes, expected) << "at " << piece.first;
        }
        fclose(in);
        std::remove(kept.c_str());
    }
}

// A file of holes, copied where it cannot be moved.
std::string HoledFile(const std::string& path) {
    const off_t size = 1 << 20;
    WriteBytes(path, "<root>");
    EXPECT_EQ(truncate(path.c_str(), size), 0);
    WriteBytesAt(path, size - 3, "end");
    return ReadBytes(path);
}

// The holes of a copied file are passed over by seeks, and every seek is
// checked: where one answers failure the piece of zeros is written
// instead, and the copy is still whole; a seek that answers success
// without moving would leave the copy short, so no copy is kept and the
// file stays where it is.
TEST_F(LocalLeaderboardsTest, HolesAreCopiedOnlyWhereEachSeekReallyPassesThem) {
    struct Case {
        const char* what;
        SeekFault fault;
        bool kept;
    } cases[] = {
        {"every seek fails", SEEKS_FAIL, true},
        {"every seek answers success without moving", SEEKS_STAND_STILL, false},
    };
    int store = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string name = "holes" + std::to_string(store++) + ".xml";
        const std::string file = folder / name;
        const std::string bytes = HoledFile(file);
        StandInFiles files;
        files.CannotMove();
        files.SeeksOfNewFiles(c.fault);
        Lines().clear();
        Open(name);
        ASSERT_FALSE(Lines().empty());
        if (c.kept) {
            EXPECT_EQ(Lines().back(), "popup warning: Local leaderboards file '" + file +
                                          "' could not be read; it is kept as '" + file + ".damaged'.");
            EXPECT_TRUE(ReadBytes(file + ".damaged") == bytes) << "the copy differs";
            EXPECT_FALSE(FileExists(file));
        } else {
            EXPECT_EQ(Lines().back(), "popup warning: Local leaderboards file '" + file +
                                          "' could not be read nor kept aside; scores are not saved this run.");
            EXPECT_FALSE(FileExists(file + ".damaged")) << "a short copy was kept";
            EXPECT_TRUE(ReadBytes(file) == bytes) << "the damaged file was changed";
        }
    }
}

// A file changed while it is copied (it grew, or was written in place) is
// the only whole one: the copy is removed and the file stays where it is,
// with what was written to it. The copy once kept the size seen at the
// start and deleted the file, and what was added was gone.
TEST_F(LocalLeaderboardsTest, ADamagedFileThatChangesWhileItIsCopiedStaysWhereItIs) {
    struct Case {
        const char* what;
        std::function<void(const std::string&)> change;
        std::string expected;
    } cases[] = {
        {"it grows",
         [](const std::string& path) {
             FILE* out = fopen(path.c_str(), "ab");
             ASSERT_NE(out, nullptr);
             fputs("added", out);
             fclose(out);
         },
         "<root>xxxadded"},
        {"it is written in place",
         [](const std::string& path) {
             WriteBytesAt(path, 6, "yyy");
             struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
             ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
         },
         "<root>yyy"},
    };
    int store = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string name = "changing" + std::to_string(store++) + ".xml";
        const std::string file = folder / name;
        WriteBytes(file, "<root>xxx");
        StandInFiles files;
        files.CannotMove();
        files.WhileCopied(file, [&c, file] { c.change(file); });
        DMDatabase probe;
        ASSERT_FALSE(probe.Load(file.c_str()));
        Lines().clear();
        Open(name);
        ASSERT_FALSE(Lines().empty());
        EXPECT_EQ(Lines().back(), "popup warning: Local leaderboards file '" + file +
                                      "' could not be read nor kept aside; scores are not saved this run.");
        EXPECT_FALSE(FileExists(file + ".damaged")) << "the copy was kept";
        EXPECT_EQ(ReadBytes(file), c.expected);
    }
}

// A null category once made a new array without id on every submission,
// beyond any limit, and wrote it to the file.
TEST_F(LocalLeaderboardsTest, AScoreWithoutCategoryIsIgnored) {
    Open();
    for (int i = 0; i < 3; ++i) boards->SubmitScore(0, Score(i), nullptr);
    EXPECT_EQ(boards->GetServer()->GetDatabase()->GetNumberOfArrays(), 0);
    EXPECT_FALSE(FileExists(path));
}

TEST_F(LocalLeaderboardsTest, ScoreIdsAreUniquePerStoredScoreAndStableDuringTheRun) {
    Open();
    for (int points = 1; points <= 100; ++points) boards->SubmitScore(0, Score(points), "Coins");
    boards->SubmitScore(0, Score(5), "Laps");
    Answer first = Request(1, 100, 0, "Coins");
    Answer again = Request(1, 100, 0, "Coins");
    std::set<std::string> ids;
    for (int i = 0; i < first.count; ++i) {
        ids.insert(first.scores[i].id);
        EXPECT_STREQ(first.scores[i].id, again.scores[i].id);
    }
    EXPECT_EQ(ids.size(), 100u);
    Answer laps = Request(1, 1, 0, "Laps");
    EXPECT_EQ(ids.count(laps.scores[0].id), 0u);

    // The new best score replaces the worst: 99 ids stay, one is new.
    boards->SubmitScore(0, Score(1000), "Coins");
    Answer after = Request(1, 100, 0, "Coins");
    ASSERT_EQ(after.count, 100);
    EXPECT_EQ(ids.count(after.scores[0].id), 0u);
    EXPECT_NE(std::string(after.scores[0].id), laps.scores[0].id);
    for (int i = 1; i < after.count; ++i) EXPECT_EQ(ids.count(after.scores[i].id), 1u) << i;
}

TEST_F(LocalLeaderboardsTest, EverySubmissionMakesANewUserIdFromTheTimeAndACounter) {
    Open();
    long long seconds = 0;
    int counter = 0;
    ASSERT_EQ(sscanf(boards->GetUserId(0), "%lld_%d", &seconds, &counter), 2);
    EXPECT_EQ(counter, 1);
    EXPECT_NEAR(static_cast<double>(seconds), static_cast<double>(zk->ZK_GetTimeSecondsElapsedSinceEpoch()), 5.0);
    std::string before = boards->GetUserId(3);
    boards->SubmitScore(0, Score(1), "Coins");
    std::string first = boards->GetUserId(0);
    boards->SubmitScore(1, Score(2), "Coins");
    std::string second = boards->GetUserId(7);
    EXPECT_NE(first, before);
    EXPECT_NE(second, first);
    ASSERT_EQ(sscanf(second.c_str(), "%lld_%d", &seconds, &counter), 2);
    EXPECT_EQ(counter, 3);
    EXPECT_EQ(boards->GetLoginState(5), ZK_LOGIN_STATE_LOGGED_IN);
    EXPECT_EQ(boards->GetMaximumNumberOfScoresPerRequest(), 30);
}

TEST_F(LocalLeaderboardsTest, ScoresFromEightThreadsAtOnceAreAllKeptUpToTheLimit) {
    Open();
    const int threads = 8;
    // Coins: 96 scores, all kept. Laps (lowest first): 200, the lowest 100 kept.
    auto submit = [this](int thread) {
        for (int i = 0; i < 12; ++i) boards->SubmitScore(thread % 4, Score(thread * 100 + i), "Coins");
        for (int i = 0; i < 25; ++i) boards->SubmitScore(thread % 4, Score(i * threads + thread), "Laps");
    };
    std::vector<std::thread> running;
    for (int t = 0; t < threads; ++t) running.emplace_back(submit, t);
    for (std::thread& t : running) t.join();

    std::multiset<int> coins, laps;
    for (int points : StoredPoints("Coins")) coins.insert(points);
    for (int points : StoredPoints("Laps")) laps.insert(points);
    std::multiset<int> expected_coins, expected_laps;
    for (int t = 0; t < threads; ++t)
        for (int i = 0; i < 12; ++i) expected_coins.insert(t * 100 + i);
    for (int points = 0; points < 100; ++points) expected_laps.insert(points);
    EXPECT_EQ(coins, expected_coins);
    EXPECT_EQ(laps, expected_laps);

    DMDatabase file;
    ASSERT_TRUE(file.Load(path.c_str()));
    EXPECT_TRUE(SameContent(file, *boards->GetServer()->GetDatabase()));
    int counter = 0;
    long long seconds = 0;
    ASSERT_EQ(sscanf(boards->GetUserId(0), "%lld_%d", &seconds, &counter), 2);
    EXPECT_EQ(counter, 1 + threads * 37);
}

}  // namespace
}  // namespace services_test
