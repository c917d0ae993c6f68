// Extension modules and the service implementations they supply.
//
// The engine reaches its online services (cloud storage, leaderboards,
// achievements, in-app purchases, social network, user content,
// notifications, statistics) through implementations, one per service
// type, that extension modules hand out. A module is registered with
// ZK_RegisterExtensionModule (extension_modules.h), initialised once at
// start-up against the interface table, asked for an implementation of each
// type, updated every frame and shut down at the end. A module owns the
// implementations it makes; the registry only points at them.
//
// The order of the virtual operations below is binding (modules may come
// from elsewhere and are called through their tables): never insert,
// remove or reorder one.
#pragma once

#include "engine/runtime/zekar.h"

class BaseImplementation {
public:
    // Service kinds; the display names are those of InterfaceTypeName.
    enum InterfaceType {
        Null = 0,
        Cloud = 1,
        Leaderboards = 2,
        Achievement = 3,
        IAP = 4,
        Social = 5,
        UGC = 6,
        Notification = 7,
        Statistic = 8,
    };

    virtual ~BaseImplementation() {}
    virtual InterfaceType GetInterfaceType() = 0;
    virtual const char* GetName() = 0;
    virtual bool Initialize() { return true; }
    virtual void Shutdown() {}
    virtual void Update() {}
    virtual bool IsAvailable() { return true; }
};

// "Null", "Cloud", "Leaderboards", ..., "Statistic"; "Unknown" for any
// other value.
const char* InterfaceTypeName(int type);

class ExtensionModule {
public:
    virtual ~ExtensionModule() {}
    virtual int GetInterfaceVersion() { return 1; }
    virtual const char* GetName() = 0;
    // Makes the module's implementations, asking the table's
    // ZK_ProductFeatureExists which ones the program wants.
    virtual bool Initialize(zekar_t* table) = 0;
    virtual void Shutdown() {}
    virtual bool ShouldPauseFrameTime() { return false; }
    virtual void Update(float /*dt*/) {}
    // An answer to ZK_CallExtension's names, or null.
    virtual const char* CallExtension(const char* /*name*/, const char* /*argument*/) { return nullptr; }
    // The module's implementation of that type, or null.
    virtual BaseImplementation* GetImplementationInterface(BaseImplementation::InterfaceType type) = 0;
};
