// Program settings and developer values.

#include "engine/storage/settings.h"

#include <cstring>

#include "engine/runtime/log.h"
#include "engine/runtime/state.h"
#include "engine/storage/database_manager.h"
#include "engine/datamodel/datamodel.h"

using InnerZK::DMArray;
using InnerZK::DMDatabase;
using InnerZK::DMNode;

const char* PLATFORM_PARAMETERS_FILENAME = "res://prog.xml";
const char* DEVELOPER_PARAMETERS_FILENAME = "res://developer.xml";

// The value of `key` in `node` (hash, then text; the first pair wins), or
// null; `found` tells whether the pair exists.
static const char* PairValue(const DMNode* node, const char* key, bool* found) {
    int index = node ? node->FindValue(key) : -1;
    *found = index >= 0;
    return *found ? node->values.items[index].GetValue() : nullptr;
}

static const char* DefaultProductValue(const DMDatabase* settings, const char* name) {
    const DMArray* parameters = settings->GetArrayById("PARAMETERS");
    const DMNode* application = parameters ? parameters->GetNodeById("APPLICATION") : nullptr;
    bool found = false;
    return PairValue(application, name, &found);
}

const char* ZKI_GetProductValue(const char* name) {
    if (!name) return nullptr;
    DMDatabase* settings = zk_dman.GetDatabase(PLATFORM_PARAMETERS_FILENAME);
    if (!settings || settings->GetNumberOfArrays() == 0) return nullptr;
    const DMArray* variants = settings->GetArrayById("VARIANTS");
    if (!variants) return nullptr;
    const char* platform = zk_state.platform_name;
    const DMNode* variant = platform ? variants->GetNodeById(platform) : nullptr;
    if (variant) {
        bool found = false;
        const char* value = PairValue(variant, name, &found);
        if (value) return value;
    } else {
        // No platform name is set in this program: say so rather than
        // handing a null text to the formatter.
        zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Missing platform variant '%s' in '%s'.", platform ? platform : "<null>",
                      PLATFORM_PARAMETERS_FILENAME);
    }
    return DefaultProductValue(settings, name);
}

const char* ZK_GetProductValue(const char* name) { return ZKI_GetProductValue(name); }

const char* ZKI_GetDeveloperValue(const char* key) {
    if (!key) return nullptr;
    DMDatabase* developer = zk_dman.GetDatabase(DEVELOPER_PARAMETERS_FILENAME);
    const DMArray* parameters = developer ? developer->GetArrayById("PARAMETERS") : nullptr;
    const DMNode* node = parameters ? parameters->GetNodeById("DEVELOPER") : nullptr;
    bool found = false;
    return PairValue(node, key, &found);
}

static bool SameText(const char* a, const char* b) { return a && b && strcmp(a, b) == 0; }

static void ReportDuplicateNodes(const DMArray* array) {
    for (int i = 0; i < array->nodes.count; ++i) {
        for (int j = i + 1; j < array->nodes.count; ++j) {
            const char* id = array->nodes.items[i]->id;
            if (SameText(id, array->nodes.items[j]->id))
                zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Array '%s' contains two nodes with id '%s'.",
                              array->id ? array->id : "null", id);
        }
    }
}

static void ReportDuplicateKeys(const DMNode* node) {
    for (int i = 0; i < node->values.count; ++i) {
        for (int j = i + 1; j < node->values.count; ++j) {
            const char* key = node->values.items[i].id;
            if (SameText(key, node->values.items[j].id))
                zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Node '%s' contains duplicate parameters with id '%s'.",
                              node->id ? node->id : "null", key);
        }
    }
}

void ZKI_ValidateConfigurationArray(InnerZK::DMArray* array) {
    if (!array || array->nodes.count == 0) return;
    ReportDuplicateNodes(array);
    for (int i = 0; i < array->nodes.count; ++i) ReportDuplicateKeys(array->nodes.items[i]);
}

void ZKI_ValidateConfigurationArrays() {
    if (!zk_state.developer_mode) return;
    DMDatabase* settings = zk_dman.GetDatabase(PLATFORM_PARAMETERS_FILENAME);
    if (!settings) return;
    for (int i = 0; i < settings->GetNumberOfArrays(); ++i) ZKI_ValidateConfigurationArray(settings->GetArrayByIndex(i));
}

bool ZKI_ReadProgramSettings() { return true; }
