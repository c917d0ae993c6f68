// stand-in until: engine/storage zk_storage ZKI_GetProductValue
// The program settings as a program without "res://prog.xml" and
// "res://developer.xml" sees them, until the settings reader over the data
// model lands in engine/storage: every product and developer value is
// missing and there is nothing to validate.

#include "engine/storage/settings.h"

const char* PLATFORM_PARAMETERS_FILENAME = "res://prog.xml";
const char* DEVELOPER_PARAMETERS_FILENAME = "res://developer.xml";

const char* ZKI_GetProductValue(const char* /*name*/) { return nullptr; }
const char* ZKI_GetDeveloperValue(const char* /*key*/) { return nullptr; }
void ZKI_ValidateConfigurationArray(InnerZK::DMArray* /*array*/) {}
void ZKI_ValidateConfigurationArrays() {}
bool ZKI_ReadProgramSettings() { return true; }
