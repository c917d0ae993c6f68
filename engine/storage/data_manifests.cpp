#include "engine/storage/data_manifests.h"

#include <cstring>

#include "engine/base/file_names.h"
#include "engine/base/nstring.h"
#include "engine/runtime/zekar.h"
#include "engine/storage/database_manager.h"
#include "engine/storage/filesystem_api.h"

using InnerZK::DMArray;
using InnerZK::DMDatabase;
using InnerZK::DMNode;

nArray<DMDatabase*> zk_data_manifest_databases;
nArray<DMArray*> zk_data_manifest_arrays;

// Endings tried, in this order, for an id without extension.
static const char* const fallback_extensions[] = {"png", "jpg", "tga", "bms"};

static bool IsManifest(const char* path) {
    for (int i = 0; i < zk_data_manifest_databases.count; ++i) {
        const char* name = zk_data_manifest_databases.items[i]->name;
        if (name && strcmp(name, path) == 0) return true;
    }
    return false;
}

void ZKI_AddManifest(const char* path) {
    if (!path || IsManifest(path)) return;
    if (!zk->file_system->ZK_FileSystem_FileExists(path)) return;
    DMDatabase* database = zk_dman.GetDatabase(path);
    DMArray* first = database->GetArrayByIndex(0);
    if (first) {
        zk_data_manifest_databases.InsertFirst(database);
        zk_data_manifest_arrays.InsertFirst(first);
    }
    zk->ZK_PrintDebugf(ZK_MESSAGE_INFO, "Added manifest '%s'.", path);
}

static DMNode* FindInManifests(const char* id) {
    for (int i = 0; i < zk_data_manifest_arrays.count; ++i) {
        DMNode* node = zk_data_manifest_arrays.items[i]->GetNodeById(id);
        if (node) return node;
    }
    return nullptr;
}

DMNode* ZKI_GetDataManifestNode(const char* id) {
    if (!id) return nullptr;
    DMNode* node = FindInManifests(id);
    // An id such as ".png" has an extension and gets none added.
    if (node || nPathHasExtension(id, nLEADING_DOT_STARTS_EXTENSION)) return node;
    for (const char* extension : fallback_extensions) {
        node = FindInManifests(nString::Format("%s.%s", id, extension).c_str());
        if (node) return node;
    }
    return nullptr;
}
