// A stand-in for a social network account ("Simulated"), the social
// implementation of the "Simulation" module (product feature
// "SIMULATED_SOCIAL").
//
// The first login makes a local user ("Local User") and a fixed circle of
// ten friends with scores; logging out keeps them, so every later login
// answers with the same circle. Answers are queued events: type 37 for a
// login (the local user), type 38 for the list of users (highest score
// first). User pictures come from the network's public picture service as
// ordinary bitmaps.
#pragma once

#include "engine/base/narray.h"
#include "engine/base/nstring.h"
#include "engine/platform_services/service_implementations.h"
#include "engine/services/simulation_random.h"

// Where the user pictures come from.
#define ZK_SIMULATED_SOCIAL_PICTURE_HOST "pictures.social.example"

class SimulatedSocialImplementation : public SocialImplementation {
public:
    struct SocialUser {
        nString id;
        nString name;
        uint32_t score;
    };

    // The seed makes the circle's scores repeatable.
    explicit SimulatedSocialImplementation(uint32_t seed = 1);
    ~SimulatedSocialImplementation() override;

    const char* GetName() override { return "Simulated"; }
    // Logged out, without a circle; takes the mutex "SocialImplementation".
    bool Initialize() override;
    // Logged out only: logs in, makes the circle on the first login and
    // queues the login answer.
    void Login() override;
    // Logged in only: logs out, keeping the circle.
    void Logout() override;
    // 0 logged out, 2 logged in.
    int GetLoginStatus() override { return status; }
    void PostLocalUserScore(unsigned int score) override;
    // Logged in only: queues the list of users.
    void RequestListOfUsers() override;
    // The user's picture of size x size pixels, loaded by the bitmap loader
    // from the picture service.
    zk_bitmap_t* GetUserImage(const char* user_id, int size) override;

    // The address GetUserImage loads.
    static nString PictureAddress(const char* user_id, int size);
    const nArray<SocialUser*>& GetUsers() const { return users; }

private:
    void MakeCircle();
    void ForgetCircle();

    zk_mutex_t* mutex = nullptr;
    int status = 0;
    SocialUser* local_user = nullptr;
    nArray<SocialUser*> users;
    SimulationRandom random;
};
