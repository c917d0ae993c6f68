// Program settings ("res://prog.xml") and developer settings
// ("res://developer.xml").
//
// Product values come from the node of the platform (zk_state_t::
// platform_name) in the array "VARIANTS", falling back to the node
// "APPLICATION" of the array "PARAMETERS". Developer values come from the
// node "DEVELOPER" of the array "PARAMETERS" of the developer settings.
#pragma once

namespace InnerZK {
class DMArray;
}

extern const char* PLATFORM_PARAMETERS_FILENAME;   // "res://prog.xml"
extern const char* DEVELOPER_PARAMETERS_FILENAME;  // "res://developer.xml"

// The product value of `name` for this platform, or null. Borrowed.
const char* ZKI_GetProductValue(const char* name);
const char* ZK_GetProductValue(const char* name);  // slot 24
// The developer value of `key`, or null. Borrowed.
const char* ZKI_GetDeveloperValue(const char* key);
// Reports duplicate node ids and duplicate keys of one array as warnings.
void ZKI_ValidateConfigurationArray(InnerZK::DMArray* array);
// In developer mode, validates every array of the program settings.
void ZKI_ValidateConfigurationArrays();
// Does nothing; true.
bool ZKI_ReadProgramSettings();
