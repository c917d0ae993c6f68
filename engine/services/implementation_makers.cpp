// Makers of the local and simulated implementations that the built-in
// modules create. The engine does not carry those implementations yet:
// each maker answers null, so the modules make nothing of that kind and the
// service type is left to other modules. An implementation that arrives
// puts its maker here (a function answering `new ...`).

#include "engine/services/builtin_modules.h"

namespace {

template <class T>
T* NotCarried() {
    return nullptr;
}

}  // namespace

zk_builtin_implementation_makers_t zk_builtin_makers = {
    NotCarried<LeaderboardsImplementation>,  // local leaderboards, "LocalDatabase"
    NotCarried<CloudImplementation>,         // simulated cloud, "Simulated"
    NotCarried<LeaderboardsImplementation>,  // simulated leaderboards, "Simulated"
    NotCarried<SocialImplementation>,        // simulated social network, "Simulated"
};
