// The two modules every start registers, and the in-app purchase fallback.
//
// "Local Fallbacks" makes the in-app purchase fallback (product feature
// "IN_APP_PURCHASES") and the local leaderboards ("LOCAL_LEADERBOARDS").
// "Simulation" makes the simulated cloud ("SIMULATED_CLOUD"), leaderboards
// ("SIMULATED_LEADERBOARDS") and social network ("SIMULATED_SOCIAL"). Both
// initialise successfully whatever they made, and their Shutdown destroys
// what they made (without calling its Shutdown).
#pragma once

#include "engine/platform_services/service_implementations.h"

ExtensionModule* ZKI_CreateLocalFallbacksModule();
ExtensionModule* ZKI_CreateSimulationModule();

// Reports itself available, sends nothing and shows no purchase progress.
class InAppPurchaseImplementationFallback : public InAppPurchaseImplementation {
public:
    const char* GetName() override { return "Fallback"; }
    void RequestItemData(const char*) override {}
    void PurchaseItem(const char*) override {}
    void RestorePurchases() override {}
    bool ShowPurchaseProgress() override { return false; }
};

// Makers of the local and simulated implementations the built-in modules
// create (defaults in implementation_makers.cpp). Each answers a new
// implementation; a maker that is null or answers null makes the module
// supply nothing of that type (tests put stand-ins here).
struct zk_builtin_implementation_makers_t {
    LeaderboardsImplementation* (*LocalLeaderboards)();
    CloudImplementation* (*SimulatedCloud)();
    LeaderboardsImplementation* (*SimulatedLeaderboards)();
    SocialImplementation* (*SimulatedSocial)();
};
extern zk_builtin_implementation_makers_t zk_builtin_makers;
