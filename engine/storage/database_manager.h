// The shared databases of the engine, one per path, each loaded at most once.
// The named mutex "DATAMAN" guards the list; loading and destroying happen
// outside it, and a caller that finds a database still being loaded by
// another thread waits until that load has ended.
#pragma once

#include <mutex>

#include "engine/base/narray.h"
#include "engine/datamodel/datamodel.h"

namespace InnerZK {

class DatabaseManager {
public:
    // Constant-initialised, so the global manager is usable before main.
    constexpr DatabaseManager() = default;
    // Destroys the databases still held, so that a program ends with
    // nothing of them left behind (leak checkers see a clean exit).
    ~DatabaseManager();
    DatabaseManager(const DatabaseManager&) = delete;
    DatabaseManager& operator=(const DatabaseManager&) = delete;

    // The database of that path, loaded on first use; never null. A load
    // that failed leaves it empty with load_failed set. With keep_raw_text,
    // a load made by this call keeps the file's text (DMDatabase::raw_text).
    DMDatabase* GetDatabase(const char* path, bool keep_raw_text = false);
    // The database of that name, else a new empty one (not loaded).
    DMDatabase* CreateDatabase(const char* name);
    void ReleaseDatabase(const char* name);
    void ReleaseDatabase(DMDatabase* database);
    void ReloadDatabases();

    const char* GetValue(const char* path, const char* array_id, const char* node_id, const char* key);
    const char* GetValue(const char* path, const char* array_id, int index, const char* key);
    int GetArraySize(const char* path, const char* array_id);
    DMArray* GetArray(const char* path, const char* array_id);
    DMNode* GetNode(const char* path, const char* array_id, const char* node_id);
    DMNode* GetNode(const char* path, const char* array_id, int index);

    nArray<DMDatabase*> databases;

private:
    // Finds or appends the database of that name; the caller holds DATAMAN.
    DMDatabase* FindOrAppend(const char* name, bool& created);
    int IndexOf(const char* name) const;
    void WaitWhileLoading(DMDatabase* database);
    void EndLoading(DMDatabase* database);

    // Databases whose first load is running, guarded by load_lock; the end
    // of a load is signalled on a condition shared by all managers.
    nArray<DMDatabase*> loading;
    std::mutex load_lock;
};

}  // namespace InnerZK

extern InnerZK::DatabaseManager zk_dman;
