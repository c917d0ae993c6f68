// The built-in extension modules "Local Fallbacks" and "Simulation".

#include "engine/services/builtin_modules.h"

#include <cstring>

namespace {

typedef BaseImplementation Base;

// What both built-in modules share: the table they were initialised with,
// and the implementations they made, one pointer per type they can supply.
class BuiltInModule : public ExtensionModule {
public:
    void Shutdown() override {
        Destroy(cloud);
        Destroy(in_app_purchase);
        Destroy(leaderboards);
        Destroy(social);
    }

    Base* GetImplementationInterface(Base::InterfaceType type) override {
        switch (type) {
        case Base::Cloud: return cloud;
        case Base::Leaderboards: return leaderboards;
        case Base::IAP: return in_app_purchase;
        case Base::Social: return social;
        default: return nullptr;
        }
    }

protected:
    bool Feature(const char* name) const { return table && table->ZK_ProductFeatureExists(name); }

    // Makes one implementation unless there is one already.
    template <class T>
    static void Make(T*& slot, T* (*maker)()) {
        if (!slot && maker) slot = maker();
    }

    template <class T>
    static void Destroy(T*& implementation) {
        delete implementation;
        implementation = nullptr;
    }

    zekar_t* table = nullptr;
    CloudImplementation* cloud = nullptr;
    InAppPurchaseImplementation* in_app_purchase = nullptr;
    LeaderboardsImplementation* leaderboards = nullptr;
    SocialImplementation* social = nullptr;
};

InAppPurchaseImplementation* MakeFallback() { return new InAppPurchaseImplementationFallback(); }

class ExtensionModuleLocalFallbacks : public BuiltInModule {
public:
    const char* GetName() override { return "Local Fallbacks"; }
    bool Initialize(zekar_t* t) override {
        table = t;
        if (Feature("IN_APP_PURCHASES")) Make(in_app_purchase, MakeFallback);
        if (Feature("LOCAL_LEADERBOARDS")) Make(leaderboards, zk_builtin_makers.LocalLeaderboards);
        return true;
    }
};

class ExtensionModuleSimulated : public BuiltInModule {
public:
    const char* GetName() override { return "Simulation"; }
    bool Initialize(zekar_t* t) override {
        table = t;
        if (Feature("SIMULATED_CLOUD")) Make(cloud, zk_builtin_makers.SimulatedCloud);
        if (Feature("SIMULATED_LEADERBOARDS")) {
            Make(leaderboards, zk_builtin_makers.SimulatedLeaderboards);
            made_simulated_leaderboards = leaderboards != nullptr;
        }
        if (Feature("SIMULATED_SOCIAL")) Make(social, zk_builtin_makers.SimulatedSocial);
        return true;
    }
    void Shutdown() override {
        BuiltInModule::Shutdown();
        made_simulated_leaderboards = false;
    }
    const char* CallExtension(const char* name, const char*) override {
        if (made_simulated_leaderboards && name && strcmp(name, "GetPlayerOnlineID") == 0) return "SimulatedPlayer";
        return nullptr;
    }

private:
    bool made_simulated_leaderboards = false;
};

}  // namespace

ExtensionModule* ZKI_CreateLocalFallbacksModule() { return new ExtensionModuleLocalFallbacks(); }

ExtensionModule* ZKI_CreateSimulationModule() { return new ExtensionModuleSimulated(); }
