// A simulated social network account: a fixed circle of friends, answers
// as queued events and pictures through the bitmap loader.

#include "engine/services/simulated_social.h"

#include "engine/events/events.h"
#include "engine/runtime/interface_functions.h"
#include "engine/platform_services/iap.h"

namespace {

enum { kLoggedOut = 0, kLoggedIn = 2 };

// The bitmap loader's mode for pictures fetched from an address.
const int kAddressCacheMode = 4;

const char kLocalUserId[] = "100004217";

struct Friend {
    const char* id;
    const char* name;
};
const Friend kFriends[] = {
    {"100002381", "Amalia"}, {"100005562", "Bertil"}, {"100007019", "Cosima"}, {"100001847", "Dorian"},
    {"100003390", "Elodie"}, {"100008825", "Folke"},  {"100006104", "Greta"},  {"100009473", "Hakon"},
    {"100000756", "Isolde"}, {"10000123456789012", "Jonas"},
};

// An event's copy of a user: its texts are the event's own.
zk_social_user_t EventUser(const SimulatedSocialImplementation::SocialUser& user, const char* name) {
    return zk_social_user_t{ZKI_CopyEventText(user.id.c_str()), ZKI_CopyEventText(name), user.score};
}

// Highest score first: each pair of places is compared and exchanged when
// the earlier one holds the greater score.
void SortByScore(zk_social_user_t* records, int count) {
    for (int i = 0; i < count; ++i)
        for (int j = 0; j < count; ++j)
            if (records[i].score > records[j].score) {
                zk_social_user_t swap = records[i];
                records[i] = records[j];
                records[j] = swap;
            }
}

}  // namespace

SimulatedSocialImplementation::SimulatedSocialImplementation(uint32_t seed) : random(seed) {}

SimulatedSocialImplementation::~SimulatedSocialImplementation() { ForgetCircle(); }

void SimulatedSocialImplementation::ForgetCircle() {
    for (int i = 0; i < users.count; ++i) delete users.items[i];
    users.count = 0;
    local_user = nullptr;
}

bool SimulatedSocialImplementation::Initialize() {
    status = kLoggedOut;
    mutex = zk->ZK_GetMutex("SocialImplementation");
    ForgetCircle();
    return true;
}

void SimulatedSocialImplementation::MakeCircle() {
    local_user = new SocialUser{kLocalUserId, "Local User", static_cast<uint32_t>(random.Below(30))};
    users.InsertLast(local_user);
    for (const Friend& f : kFriends) users.InsertLast(new SocialUser{f.id, f.name, 0});
    for (int i = 1; i < users.count; ++i) users.items[i]->score = static_cast<uint32_t>(random.Below(40) + i + 3);
}

void SimulatedSocialImplementation::Login() {
    if (status != kLoggedOut) return;
    status = kLoggedIn;
    if (!mutex) mutex = zk->ZK_GetMutex("SocialImplementation");
    zk->ZK_LockMutex(mutex);
    if (!local_user) MakeCircle();
    zk_social_user_t* user = static_cast<zk_social_user_t*>(zk->ZK_AllocMemory(sizeof(zk_social_user_t)));
    if (user) *user = EventUser(*local_user, "Local User");
    zk_event_t event = ZKI_MakeEvent(zk_social_login_event_t{ZK_EVENT_SOCIAL_LOGIN, 1, nullptr, user});
    zk->ZK_SendEventQueued(&event);
    zk->ZK_UnlockMutex(mutex);
}

void SimulatedSocialImplementation::Logout() {
    if (status == kLoggedIn) status = kLoggedOut;
}

void SimulatedSocialImplementation::PostLocalUserScore(unsigned int score) {
    if (local_user) local_user->score = score;
}

void SimulatedSocialImplementation::RequestListOfUsers() {
    if (status != kLoggedIn || !local_user) return;
    int count = users.count;
    zk_social_user_t* records =
        static_cast<zk_social_user_t*>(zk->ZK_AllocMemory(static_cast<unsigned int>(count * sizeof(zk_social_user_t))));
    if (!records) return;
    for (int i = 0; i < count; ++i) records[i] = EventUser(*users.items[i], users.items[i]->name.c_str());
    SortByScore(records, count);
    zk_event_t event = ZKI_MakeEvent(zk_social_users_event_t{ZK_EVENT_SOCIAL_USERS, 0, records, count});
    zk->ZK_SendEventQueued(&event);
}

nString SimulatedSocialImplementation::PictureAddress(const char* user_id, int size) {
    return nString::Format("http://%s/%s/picture?width=%d&height=%d&return_ssl_resources=0",
                           ZK_SIMULATED_SOCIAL_PICTURE_HOST, user_id ? user_id : "", size, size);
}

zk_bitmap_t* SimulatedSocialImplementation::GetUserImage(const char* user_id, int size) {
    if (!user_id) return nullptr;
    return zk->graphics->ZK_Graphics_LoadBitmap(PictureAddress(user_id, size).c_str(), kAddressCacheMode);
}
