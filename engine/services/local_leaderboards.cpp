// Leaderboards kept in a database file on this device.

#include "engine/services/local_leaderboards.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/base/clock.h"
#include "engine/runtime/interface_functions.h"
#include "engine/services/leaderboard_answers.h"
#include "engine/services/printable.h"
#include "engine/storage/database_manager.h"
#include "engine/storage/filesystem_api.h"

using InnerZK::DMArray;
using InnerZK::DMNode;

namespace {

const int kExtraDataSize = static_cast<int>(sizeof(zk_score_t::extra_data));
// A piece of the "data" value this long or longer is no number.
const size_t kLongestDataPiece = 511;

// Holds a named mutex for one scope.
class Hold {
public:
    explicit Hold(zk_mutex_t* mutex) : mutex(mutex) { zk->ZK_LockMutex(mutex); }
    ~Hold() { zk->ZK_UnlockMutex(mutex); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    zk_mutex_t* mutex;
};

// The decimal value of a text, 0 for none; values past the int range are
// cut to it.
long long ReadDecimal(const char* text) {
    if (!text) return 0;
    long long value = strtoll(text, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return value;
}

int PointsOf(const DMNode* node) { return static_cast<int>(ReadDecimal(node->GetValue("points"))); }

// The caller's length is meant to be 0-188; anything else is cut to it.
int ExtraDataLength(const zk_score_t& score) {
    return std::min(std::max(score.extra_data_length, 0), kExtraDataSize);
}

// "1 22 255": the bytes as decimal numbers between single spaces.
nString DataText(const zk_score_t& score, int length) {
    nString text;
    for (int i = 0; i < length; ++i) text.AppendFormatted(i ? " %u" : "%u", unsigned(score.extra_data[i]));
    return text;
}

// Reads the "data" value back: one byte per piece between single spaces (a
// trailing space adds none), more pieces than fit leave no data at all.
void ReadData(const char* text, zk_score_t& score) {
    score.extra_data_length = 0;
    if (!text || !*text) return;
    int pieces = 0;
    for (const char* piece = text; *piece;) {
        const char* space = strchr(piece, ' ');
        size_t length = space ? size_t(space - piece) : strlen(piece);
        if (pieces == kExtraDataSize) return;
        long long value = 0;
        if (length <= kLongestDataPiece) {
            char number[kLongestDataPiece + 1];
            memcpy(number, piece, length);
            number[length] = '\0';
            value = strtoll(number, nullptr, 10);
        }
        score.extra_data[pieces++] = static_cast<uint8_t>(value & 0xFF);
        if (!space) break;
        piece = space + 1;
    }
    score.extra_data_length = pieces;
}

void CopyText(char* out, size_t size, const char* text) { snprintf(out, size, "%s", text ? text : ""); }

// Names a damaged file is kept under: "<file>.damaged", then
// "<file>.damaged-2" and on.
const int kKeptNames = 99;

nString KeptName(const char* path, int number) {
    return number == 1 ? nString::Format("%s.damaged", path) : nString::Format("%s.damaged-%d", path, number);
}

// Pieces a damaged file is copied in: the memory a copy takes stays the
// same whatever the file's size.
const size_t kCopyPiece = 64 * 1024;

// True when every byte is zero: the first is, and each equals the next.
bool AllZero(const char* bytes, size_t size) {
    return size == 0 || (bytes[0] == 0 && memcmp(bytes, bytes + 1, size - 1) == 0);
}

// Copies size bytes between two open files piece by piece, every count
// and every seek checked: a read that comes up short (the file shrank, or
// its disk failed) is no copy. A piece of zeros before the last is passed
// over with a seek, so that the holes of a sparse file stay holes and its
// copy does not fill the disk; a seek that does not answer success is no
// pass, and the piece is written instead. The last piece is always
// written, which gives the copy its whole length; a copy that then does
// not end at that length was passed over by a seek that answered success
// without moving, and is no copy either.
bool CopyPieces(zk_file_t* from, zk_file_t* to, uint64_t size, char* piece) {
    zk_file_system_api_t* files = zk->file_system;
    for (uint64_t copied = 0; copied < size;) {
        size_t count = size - copied < kCopyPiece ? size_t(size - copied) : kCopyPiece;
        if (files->ZK_FileSystem_ReadFile(piece, count, from) != count) return false;
        bool last = copied + count == size;
        bool passed = !last && AllZero(piece, count) && files->ZK_FileSystem_SetFilePosition(to, int(count), 1) == 0;
        if (!passed && files->ZK_FileSystem_WriteFile(piece, count, to) != count) return false;
        copied += count;
    }
    return files->ZK_FileSystem_GetFilePosition(to) == int64_t(size);
}

// Whether the file is still as it was when its copy began: nothing beyond
// the size that was copied (it did not grow meanwhile) and the same time
// of modification (it was not written to in place, as far as a time in
// seconds tells). A file that changed is still the only whole one.
bool UnchangedSinceCopied(zk_file_t* source, const char* path, const zk_file_info_t& before, char* piece) {
    zk_file_system_api_t* files = zk->file_system;
    zk_file_info_t after;
    return files->ZK_FileSystem_ReadFile(piece, 1, source) == 0 && files->ZK_FileSystem_GetFileInfo(path, &after) &&
           after.modification_time == before.modification_time;
}

enum KeptCopy { COPY_KEPT, COPY_NAME_TAKEN, COPY_FAILED };

// Copies the open file into the new kept file and closes that; false, with
// the kept file removed, when the copy is not whole or the file changed
// while it was made.
bool CopyIntoKeptFile(zk_file_t* source, const char* path, zk_file_t* target, const char* name) {
    zk_file_system_api_t* files = zk->file_system;
    nArray<char> piece;
    piece.SetMaximumSize(int(kCopyPiece));
    zk_file_info_t before;
    bool known = files->ZK_FileSystem_GetFileInfo(path, &before);
    uint64_t size = source->size > 0 ? uint64_t(source->size) : 0;
    bool copied = known && CopyPieces(source, target, size, piece.items) &&
                  UnchangedSinceCopied(source, path, before, piece.items);
    bool closed = files->ZK_FileSystem_CloseFile(target);
    if (copied && closed) return true;
    files->ZK_FileSystem_DeleteFile(name);
    return false;
}

// Where the file cannot be moved: a copy under the name, made only where
// nothing stands (anything put there since the look takes the name), and
// the file removed once the copy is whole.
KeptCopy CopyToKeptName(const char* path, const char* name) {
    zk_file_system_api_t* files = zk->file_system;
    zk_file_t* source = files->ZK_FileSystem_OpenFile(path, "rb");
    if (!source) return COPY_FAILED;
    zk_file_t* target = ZKI_CreateNewFile(name);
    bool kept = target && CopyIntoKeptFile(source, path, target, name);
    files->ZK_FileSystem_CloseFile(source);
    if (!target) return COPY_NAME_TAKEN;
    if (!kept) return COPY_FAILED;
    files->ZK_FileSystem_DeleteFile(path);
    return COPY_KEPT;
}

// Puts the file that did not load aside under the first kept name where
// nothing stands yet, so that the next save does not write over the
// scores it may still hold. Anything at a name takes it, not only a file:
// a folder, a FIFO, a link (also one that leads nowhere) is left as it is
// and the next name is tried, also when it appears after the name was
// looked at. The file is moved, not copied: nothing is read, whatever its
// size, and whatever is written to it meanwhile goes with it. Only where
// the file system cannot move it is it copied. The name it went to; empty
// when it could not be kept (no name free, or the copy failed), and then
// the file stays where it is.
nString KeepDamagedFile(const char* path) {
    for (int number = 1; number <= kKeptNames; ++number) {
        nString name = KeptName(path, number);
        if (ZKI_IsPathTaken(name.c_str())) continue;
        if (ZKI_MoveFileToNewName(path, name.c_str())) return name;
        if (ZKI_IsPathTaken(name.c_str())) continue;
        KeptCopy copy = CopyToKeptName(path, name.c_str());
        if (copy == COPY_KEPT) return name;
        if (copy == COPY_FAILED) break;
    }
    return nString();
}

}  // namespace

// --- The server ----------------------------------------------------------------------------

LocalLeaderBoardServer::LocalLeaderBoardServer(const char* store_path) : path(store_path) { Initialize(); }

bool LocalLeaderBoardServer::Initialize() {
    const char* name = path.c_str();
    if (zk->file_system->ZK_FileSystem_FileExists(name)) {
        database = zk_dman.GetDatabase(name);
        if (database->load_failed) StartOverDamagedFile();
    } else {
        database = zk_dman.CreateDatabase(name);
    }
    mutex = zk->ZK_GetMutex("LOCAL_LEADERBOARDS");
    initialized = true;
    return true;
}

// The file exists but did not load: it is kept aside and the scores start
// afresh in a new database. When it cannot be kept, nothing is saved this
// run (there is no database), so the file stays as it is.
void LocalLeaderBoardServer::StartOverDamagedFile() {
    const char* name = path.c_str();
    zk_dman.ReleaseDatabase(database);
    database = nullptr;
    nString kept = KeepDamagedFile(name);
    if (kept.IsEmpty()) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "Local leaderboards file '%s' could not be read nor kept aside; scores are not saved this run.",
                      name);
        return;
    }
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Local leaderboards file '%s' could not be read; it is kept as '%s'.", name,
                  kept.c_str());
    database = zk_dman.CreateDatabase(name);
}

DMArray* LocalLeaderBoardServer::FindCategory(const char* category) const {
    return category ? database->GetArrayById(category) : nullptr;
}

uint32_t LocalLeaderBoardServer::IdentityOf(const DMNode* node) {
    for (int i = 0; i < identities.count; ++i)
        if (identities.items[i].node == node) return identities.items[i].id;
    NodeIdentity identity = {node, next_identity++};
    identities.InsertLast(identity);
    return identity.id;
}

// Another node may later be made at the same address: it must not inherit
// the id.
void LocalLeaderBoardServer::ForgetIdentity(const DMNode* node) {
    for (int i = 0; i < identities.count; ++i)
        if (identities.items[i].node == node) {
            identities.items[i] = identities.items[identities.count - 1];
            --identities.count;
            return;
        }
}

// Removes the worst node: the lowest points (sort order 0) or the highest
// (sort order 1), the one stored last among equals.
void LocalLeaderBoardServer::RemoveWorst(DMArray* scores, int sort_order) {
    int worst = -1;
    int worst_points = 0;
    for (int i = 0; i < scores->GetNumberOfNodes(); ++i) {
        int points = PointsOf(scores->GetNodeByIndex(i));
        bool worse = sort_order == 1 ? points >= worst_points : points <= worst_points;
        if (worst < 0 || worse) {
            worst = i;
            worst_points = points;
        }
    }
    ForgetIdentity(scores->GetNodeByIndex(worst));
    scores->RemoveNodeByIndex(worst);
}

zk_score_t LocalLeaderBoardServer::ScoreOfNode(const DMNode* node) {
    zk_score_t score;
    memset(&score, 0, sizeof(score));
    CopyText(score.player_name, sizeof(score.player_name), node->GetValue("player"));
    score.points = PointsOf(node);
    snprintf(score.id, sizeof(score.id), "%x", IdentityOf(node));
    ReadData(node->GetValue("data"), score);
    return score;
}

void LocalLeaderBoardServer::SubmitScore(zk_score_t* score, const char* category) {
    // A null category names no array: storing it would make a new array
    // without id on every submission, beyond any limit.
    if (!database || !score || !category) return;
    int sort_order = ZK_GetLeaderboardCategorySortOrder(category);
    bool scramble = !zk->ZKI_IsDeveloperModeEnabled();
    Hold hold(mutex);
    DMArray* scores = FindCategory(category);
    if (!scores) scores = database->AddArray(category);
    zk_date_t now = zk->ZK_GetDate();
    snprintf(score->player_name, 32, "%d-%.2d-%.2d %.2d:%.2d", now.year, now.month, now.day, now.hour, now.minute);
    DMNode* node = scores->AddNode(nullptr);
    node->SetValue("player", score->player_name);
    node->SetValuef("points", "%d", score->points);
    int length = ExtraDataLength(*score);
    if (length >= 1) node->SetValue("data", DataText(*score, length).c_str());
    if (scores->GetNumberOfNodes() > ZK_LOCAL_SCORES_PER_CATEGORY) RemoveWorst(scores, sort_order);
    database->Save(path.c_str(), scramble);
}

void LocalLeaderBoardServer::RequestScores(int first, int count, zk_leaderboard_filter_t filter,
                                           const char* category) {
    if (!database) {
        ZKI_SendLeaderboardsError(category, filter, "Not yet initialized.");
        return;
    }
    // Only this device's scores are known: there are no friends.
    if (filter != 0) {
        ZKI_SendLeaderboardScores(category, filter, 0, 0, nullptr, 0);
        return;
    }
    int sort_order = ZK_GetLeaderboardCategorySortOrder(category);
    Hold hold(mutex);
    DMArray* scores = FindCategory(category);
    if (!scores) {
        zk->ZK_Printf("No scores in category '%s', returning 0 scores.", Printable(category));
        ZKI_SendLeaderboardScores(category, filter, 0, 0, nullptr, 0);
        return;
    }
    int total = scores->GetNumberOfNodes();
    nArray<zk_score_t> list;
    list.SetMaximumSize(total);
    for (int i = 0; i < total; ++i) list.InsertLast(ScoreOfNode(scores->GetNodeByIndex(i)));
    // Equal points keep their storage order.
    std::stable_sort(list.items, list.items + list.count, [sort_order](const zk_score_t& a, const zk_score_t& b) {
        return sort_order == 1 ? a.points < b.points : a.points > b.points;
    });
    int begin = 0, end = 0;
    ZKI_RequestedWindow(first, count, total, &begin, &end);
    zk_score_t* taken = ZKI_AllocScores(end - begin);
    for (int k = begin; taken && k < end; ++k) {
        taken[k - begin] = list.items[first - 1 + k];
        taken[k - begin].rank = first + k;
    }
    ZKI_SendLeaderboardScores(category, filter, first, total, taken, end - begin);
}

// --- The implementation ----------------------------------------------------------------------

namespace {

void MakeUserId(char* out, size_t size, int submission) {
    snprintf(out, size, "%lld_%d", static_cast<long long>(zk->ZK_GetTimeSecondsElapsedSinceEpoch()), submission);
}

}  // namespace

LocalLeaderboardsImplementation::LocalLeaderboardsImplementation(const char* path)
    : server(new LocalLeaderBoardServer(path)), id_mutex(zk->ZK_GetMutex("LOCAL_LEADERBOARDS")) {
    MakeUserId(user_id, sizeof(user_id), 1);
}

LocalLeaderboardsImplementation::~LocalLeaderboardsImplementation() { delete server; }

void LocalLeaderboardsImplementation::SubmitScore(int, zk_score_t score, const char* category) {
    char id[sizeof(user_id)];
    {
        // Numbered and kept under one lock, so that the kept id is always the
        // latest submission's, whichever thread finishes last.
        Hold hold(id_mutex);
        MakeUserId(id, sizeof(id), ++submissions);
        memcpy(user_id, id, sizeof(user_id));
    }
    memcpy(score.id, id, sizeof(score.id));
    server->SubmitScore(&score, category);
}

bool LocalLeaderboardsImplementation::RequestScores(int first, int count, zk_leaderboard_filter_t filter,
                                                    const char* category) {
    server->RequestScores(first, count, filter, category);
    return true;
}

bool LocalLeaderboardsImplementation::RequestScoresAroundUserRank(int, int count, const char* category) {
    server->RequestScores(1, count, 0, category);
    return true;
}

const char* LocalLeaderboardsImplementation::GetUserId(int) {
    // Another thread may submit meanwhile: the caller gets a stable copy.
    static thread_local char copy[sizeof(user_id)];
    Hold hold(id_mutex);
    memcpy(copy, user_id, sizeof(copy));
    return copy;
}

bool LocalLeaderboardsImplementation::RequestUserScore(int, const char* category) {
    zk->ZK_Printf("Returning dummy player score for category '%s'", Printable(category));
    ZKI_SendLeaderboardScores(category, 0, 0, -1, nullptr, 0);
    return true;
}
