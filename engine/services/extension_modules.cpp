// The registry of extension modules: registration, start-up, resolution of
// one implementation per service type, the per-frame update and shutdown.

#include "engine/services/extension_modules.h"

#include "engine/drawing/drawing_interface.h"
#include "engine/runtime/interface_functions.h"
#include "engine/services/builtin_modules.h"
#include "engine/services/printable.h"

nArray<ExtensionModule*> zk_extension_implementations;
nArray<BaseImplementation*> zk_all_implementations;

CloudImplementation* zk_cloud_implementation = nullptr;
LeaderboardsImplementation* zk_leaderboards_implementation = nullptr;
AchievementImplementation* zk_achievement_implementation = nullptr;
StatisticImplementation* zk_statistic_implementation = nullptr;
InAppPurchaseImplementation* zk_in_app_purchase_implementation = nullptr;
SocialImplementation* zk_social_implementation = nullptr;
UGCImplementation* zk_ugc_implementation = nullptr;
NotificationImplementation* zk_notification_implementation = nullptr;

const char* InterfaceTypeName(int type) {
    static const char* const names[] = {"Null",   "Cloud", "Leaderboards", "Achievement", "IAP",
                                        "Social", "UGC",   "Notification", "Statistic"};
    if (type < 0 || type >= static_cast<int>(sizeof(names) / sizeof(names[0]))) return "Unknown";
    return names[type];
}

namespace {

typedef BaseImplementation Base;

template <class T, T** chosen>
void Store(Base* implementation) {
    *chosen = static_cast<T*>(implementation);
}

// The service types in the order they are resolved: the product feature
// without which the type is never chosen, the word of the log line, and
// where the choice is kept.
struct ServiceType {
    Base::InterfaceType type;
    const char* feature;
    const char* word;
    bool system_line;  // the line goes out as a SYSTEM line, not INFO
    void (*store)(Base* implementation);
};

const ServiceType kServiceTypes[] = {
    {Base::Cloud, nullptr, "Cloud", true, Store<CloudImplementation, &zk_cloud_implementation>},
    {Base::Leaderboards, "LEADERBOARDS", "Leaderboards", false,
     Store<LeaderboardsImplementation, &zk_leaderboards_implementation>},
    {Base::Achievement, "ACHIEVEMENTS", "Achievements", false,
     Store<AchievementImplementation, &zk_achievement_implementation>},
    {Base::Statistic, nullptr, "Statistic", false, Store<StatisticImplementation, &zk_statistic_implementation>},
    {Base::IAP, "IN_APP_PURCHASES", "InAppPurchase", false,
     Store<InAppPurchaseImplementation, &zk_in_app_purchase_implementation>},
    {Base::Social, nullptr, "Social", false, Store<SocialImplementation, &zk_social_implementation>},
    {Base::UGC, nullptr, "UGC", false, Store<UGCImplementation, &zk_ugc_implementation>},
    {Base::Notification, nullptr, "Notification", false,
     Store<NotificationImplementation, &zk_notification_implementation>},
};

// Set by a start, cleared by the shutdown.
bool modules_started = false;

bool FeatureExists(const char* name) { return zk && zk->ZK_ProductFeatureExists(name); }

// The first module's answer for the type, logged; null when the type's
// feature is missing or no module answers.
Base* FindImplementation(const ServiceType& service) {
    if (service.feature && !FeatureExists(service.feature)) return nullptr;
    for (int i = 0; i < zk_extension_implementations.count; ++i) {
        ExtensionModule* module = zk_extension_implementations.items[i];
        Base* implementation = module->GetImplementationInterface(service.type);
        if (!implementation) continue;
        if (service.system_line)
            zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Using %s implementation from module '%s'", service.word,
                               Printable(module->GetName()));
        else
            zk->ZK_Printf("Using %s implementation from module '%s'", service.word, Printable(module->GetName()));
        return implementation;
    }
    return nullptr;
}

const ServiceType& ServiceOf(Base::InterfaceType type) {
    for (const ServiceType& service : kServiceTypes)
        if (service.type == type) return service;
    return kServiceTypes[0];
}

template <class T>
T* Find(Base::InterfaceType type) {
    return static_cast<T*>(FindImplementation(ServiceOf(type)));
}

void ForgetChosenImplementations() {
    for (const ServiceType& service : kServiceTypes) service.store(nullptr);
    zk_all_implementations.count = 0;
}

void InitializeModules() {
    for (int i = 0; i < zk_extension_implementations.count; ++i) {
        ExtensionModule* module = zk_extension_implementations.items[i];
        zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Initializing extension module '%s'...", Printable(module->GetName()));
        // A module that fails stays registered and is still asked.
        if (!module->Initialize(zk))
            zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Failed to initialize extension '%s'", Printable(module->GetName()));
    }
}

}  // namespace

void ZK_RegisterExtensionModule(ExtensionModule* module) {
    if (!module) return;
    if (zk) zk->ZK_Printf("Registering extension module '%s'.", Printable(module->GetName()));
    zk_extension_implementations.InsertFirst(module);
}

void ZK_RegisterExtensionModuleFromDynamicLinkLibrary(const char* /*path*/) {}

void ZK_InitializeExtensionModules() {
    // A second start without a shutdown in between (pre-initialisation run
    // again) lets go of the first start's modules, as it does of the rest
    // of that start, instead of stacking a second set on top of them.
    if (modules_started) ZK_ShutdownExtensionModules();
    modules_started = true;
    ZK_RegisterExtensionModule(ZKI_CreateLocalFallbacksModule());
    ZK_RegisterExtensionModule(ZKI_CreateSimulationModule());
    InitializeModules();
    ZK_ResolveExtensionModuleImplementations();
    ZK_InitializeExtensionModuleImplementations();
}

void ZK_ResolveExtensionModuleImplementations() {
    zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Resolving implementations inside extensions modules...");
    zk_all_implementations.count = 0;
    for (const ServiceType& service : kServiceTypes) {
        Base* implementation = FindImplementation(service);
        service.store(implementation);
        if (implementation) zk_all_implementations.InsertLast(implementation);
    }
}

void ZK_InitializeExtensionModuleImplementations() {
    zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Initializing resolved implementations inside extensions modules...");
    for (int i = 0; i < zk_all_implementations.count; ++i) {
        Base* implementation = zk_all_implementations.items[i];
        zk->ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Initializing %s implementation '%s'...",
                           InterfaceTypeName(implementation->GetInterfaceType()), Printable(implementation->GetName()));
        implementation->Initialize();
    }
    if (zk_notification_implementation && FeatureExists("REGISTER_FOR_LOCAL_NOTIFICATIONS_ON_LAUNCH"))
        zk_notification_implementation->RegisterForNotifications();
}

void ZK_UpdateExtensionModules(float dt) {
    for (int i = 0; i < zk_extension_implementations.count; ++i) zk_extension_implementations.items[i]->Update(dt);
    for (int i = 0; i < zk_all_implementations.count; ++i) zk_all_implementations.items[i]->Update();
}

bool ZK_ShouldPauseFrameTimeBecauseOfExtension() {
    for (int i = 0; i < zk_extension_implementations.count; ++i)
        if (zk_extension_implementations.items[i]->ShouldPauseFrameTime()) return true;
    return false;
}

void ZK_ShutdownExtensionModules() {
    // Forgotten first: the modules destroy what these point at, and no
    // front or update may reach it afterwards.
    ForgetChosenImplementations();
    for (int i = 0; i < zk_extension_implementations.count; ++i) zk_extension_implementations.items[i]->Shutdown();
    for (int i = 0; i < zk_extension_implementations.count; ++i) delete zk_extension_implementations.items[i];
    zk_extension_implementations.count = 0;
    modules_started = false;
}

CloudImplementation* ZK_GetCloudImplementation() { return Find<CloudImplementation>(Base::Cloud); }
LeaderboardsImplementation* ZK_GetLeaderboardsImplementation() {
    return Find<LeaderboardsImplementation>(Base::Leaderboards);
}
AchievementImplementation* ZK_GetAchievementImplementation() {
    return Find<AchievementImplementation>(Base::Achievement);
}
StatisticImplementation* ZK_GetStatisticImplementation() { return Find<StatisticImplementation>(Base::Statistic); }
InAppPurchaseImplementation* ZK_GetInAppPurchaseImplementation() {
    return Find<InAppPurchaseImplementation>(Base::IAP);
}
SocialImplementation* ZK_GetSocialImplementation() { return Find<SocialImplementation>(Base::Social); }
UGCImplementation* ZK_GetUGCImplementation() { return Find<UGCImplementation>(Base::UGC); }
NotificationImplementation* ZK_GetNotificationImplementation() {
    return Find<NotificationImplementation>(Base::Notification);
}

zk_extension_api_t* ZKIE_GetExtensionInterface() {
    // The sub-table's one slot holds the media layer's ZK_DrawQuad.
    ZKM_FillExtensionInterface(&zk_extension_api);
    return &zk_extension_api;
}
