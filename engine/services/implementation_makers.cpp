// Makers of the local and simulated implementations that the built-in
// modules create, each with its own defaults: the stores keep their files
// under the engine's names, and the simulations start from the same seed
// on every run.

#include "engine/services/builtin_modules.h"
#include "engine/services/local_leaderboards.h"
#include "engine/services/simulated_cloud.h"
#include "engine/services/simulated_leaderboards.h"
#include "engine/services/simulated_social.h"

namespace {

LeaderboardsImplementation* MakeLocalLeaderboards() { return new LocalLeaderboardsImplementation(); }
CloudImplementation* MakeSimulatedCloud() { return new SimulatedCloudImplementation(); }
LeaderboardsImplementation* MakeSimulatedLeaderboards() { return new SimulatedLeaderboardsImplementation(); }
SocialImplementation* MakeSimulatedSocial() { return new SimulatedSocialImplementation(); }

}  // namespace

zk_builtin_implementation_makers_t zk_builtin_makers = {
    MakeLocalLeaderboards,
    MakeSimulatedCloud,
    MakeSimulatedLeaderboards,
    MakeSimulatedSocial,
};
