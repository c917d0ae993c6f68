#include "engine/storage/database_manager.h"

#include <condition_variable>
#include <cstdlib>
#include <cstring>

#include "engine/base/nstring.h"
#include "engine/runtime/zekar.h"

InnerZK::DatabaseManager zk_dman;

namespace InnerZK {

namespace {
// Holds the named mutex "DATAMAN" for one scope.
class DataManLock {
public:
    DataManLock() : mutex(zk->ZK_GetMutex("DATAMAN")) { zk->ZK_LockMutex(mutex); }
    ~DataManLock() { zk->ZK_UnlockMutex(mutex); }
    DataManLock(const DataManLock&) = delete;
    DataManLock& operator=(const DataManLock&) = delete;

private:
    zk_mutex_t* mutex;
};
// Signalled whenever a first load ends.
std::condition_variable& LoadEnded() {
    static std::condition_variable ended;
    return ended;
}
}  // namespace

int DatabaseManager::IndexOf(const char* name) const {
    if (!name) return -1;
    unsigned int hash = nStringHash(name);
    for (int i = 0; i < databases.count; ++i) {
        DMDatabase* database = databases.items[i];
        if (database->name_hash == hash && database->name && strcmp(database->name, name) == 0) return i;
    }
    return -1;
}

DMDatabase* DatabaseManager::FindOrAppend(const char* name, bool& created) {
    int index = IndexOf(name);
    created = index < 0;
    if (!created) return databases.items[index];
    DMDatabase* database = new DMDatabase();
    database->SetName(name);
    databases.InsertLast(database);
    return database;
}

void DatabaseManager::WaitWhileLoading(DMDatabase* database) {
    std::unique_lock<std::mutex> lock(load_lock);
    LoadEnded().wait(lock, [&] {
        for (int i = 0; i < loading.count; ++i) {
            if (loading.items[i] == database) return false;
        }
        return true;
    });
}

void DatabaseManager::EndLoading(DMDatabase* database) {
    {
        std::lock_guard<std::mutex> lock(load_lock);
        loading.RemoveItem(database);
    }
    LoadEnded().notify_all();
}

DMDatabase* DatabaseManager::GetDatabase(const char* path, bool keep_raw_text) {
    DMDatabase* database = nullptr;
    bool created = false;
    {
        DataManLock lock;
        database = FindOrAppend(path, created);
        if (created) {
            // Entered before DATAMAN is released, so that a caller who finds
            // the database also finds it loading.
            std::lock_guard<std::mutex> guard(load_lock);
            loading.InsertLast(database);
        }
    }
    if (!created) {
        WaitWhileLoading(database);
        return database;
    }
    database->keep_raw_text = keep_raw_text;
    database->Load(path);
    EndLoading(database);
    return database;
}

DMDatabase* DatabaseManager::CreateDatabase(const char* name) {
    DataManLock lock;
    bool created = false;
    return FindOrAppend(name, created);
}

DatabaseManager::~DatabaseManager() {
    for (int i = 0; i < databases.count; ++i) delete databases.items[i];
    databases.count = 0;
}

void DatabaseManager::ReleaseDatabase(const char* name) {
    DMDatabase* database = nullptr;
    {
        DataManLock lock;
        int index = IndexOf(name);
        if (index < 0) return;
        database = databases.items[index];
        databases.RemoveItemAtIndex(index);
    }
    delete database;
}

void DatabaseManager::ReleaseDatabase(DMDatabase* database) {
    {
        DataManLock lock;
        if (!database || !databases.RemoveItem(database)) return;
    }
    delete database;
}

void DatabaseManager::ReloadDatabases() {
    DataManLock lock;
    for (int i = 0; i < databases.count; ++i) {
        DMDatabase* database = databases.items[i];
        // A first load still running on another thread ends first; it
        // needs only load_lock, not DATAMAN.
        WaitWhileLoading(database);
        if (database->name && *database->name) database->Reload();
    }
}

const char* DatabaseManager::GetValue(const char* path, const char* array_id, const char* node_id, const char* key) {
    return GetDatabase(path)->GetValue(array_id, node_id, key);
}

const char* DatabaseManager::GetValue(const char* path, const char* array_id, int index, const char* key) {
    return GetDatabase(path)->GetValue(array_id, index, key);
}

int DatabaseManager::GetArraySize(const char* path, const char* array_id) {
    return GetDatabase(path)->GetArraySize(array_id);
}

DMArray* DatabaseManager::GetArray(const char* path, const char* array_id) {
    return GetDatabase(path)->GetArrayById(array_id);
}

DMNode* DatabaseManager::GetNode(const char* path, const char* array_id, const char* node_id) {
    return GetDatabase(path)->GetNode(array_id, node_id);
}

DMNode* DatabaseManager::GetNode(const char* path, const char* array_id, int index) {
    DMArray* array = GetDatabase(path)->GetArrayById(array_id);
    return array ? array->GetNodeByIndex(index) : nullptr;
}

}  // namespace InnerZK
