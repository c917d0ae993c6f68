// stand-in until: engine/storage zk_storage ZKI_FillFileSystemInterface
// Neutral stand-ins for the file-system sub-table: every function answers
// false, zero or null and does nothing else. They give way to the storage
// subsystem's definitions of the same names (see engine/core/CMakeLists.txt).

#include "engine/core/interface_functions.h"
#include "engine/core/ntransform.h"
#include "engine/core/types.h"
#include "engine/core/zekar.h"

void ZK_FileSystem_AddSearchPath(const char* /*path*/, bool /*flag*/) {}
void ZK_FileSystem_CloseFile(zk_file_t* /*file*/) {}
bool ZK_FileSystem_CreateDirectory(const char* /*path*/) { return false; }
bool ZK_FileSystem_DeleteDirectory(const char* /*path*/, bool /*with_files*/) { return false; }
bool ZK_FileSystem_DeleteFile(const char* /*path*/) { return false; }
zk_list_t* ZK_FileSystem_FindFiles(const char* /*path*/, const char* /*wildcards*/, bool /*recursive*/) { return nullptr; }
bool ZK_FileSystem_FileExists(const char* /*path*/) { return false; }
void ZK_FileSystem_FlushFile(zk_file_t* /*file*/) {}
bool ZK_FileSystem_GetFileInfo(const char* /*path*/, zk_file_info_t* /*info*/) { return false; }
int64_t ZK_FileSystem_GetFilePosition(zk_file_t* /*file*/) { return 0; }
int ZK_FileSystem_GetNumberOfSearchPaths() { return 0; }
const char* ZK_FileSystem_GetSearchPathByIndex(int /*index*/) { return nullptr; }
bool ZK_FileSystem_IsPathValid(const char* /*path*/) { return false; }
bool ZK_FileSystem_Mount(const char* /*name*/, int /*index*/) { return false; }
zk_file_t* ZK_FileSystem_OpenFile(const char* /*path*/, const char* /*mode*/) { return nullptr; }
size_t ZK_FileSystem_ReadFile(void* /*buffer*/, size_t /*size*/, zk_file_t* /*file*/) { return 0; }
void ZK_FileSystem_RemoveSearchPath(const char* /*path*/) {}
bool ZK_FileSystem_SearchPathExists(const char* /*path*/) { return false; }
int ZK_FileSystem_SetFilePosition(zk_file_t* /*file*/, int /*offset*/, zk_seek_t /*origin*/) { return 0; }
void ZK_FileSystem_Unmount(const char* /*name*/) {}
size_t ZK_FileSystem_WriteFile(const void* /*data*/, size_t /*size*/, zk_file_t* /*file*/) { return 0; }

void ZKI_FillFileSystemInterface(zk_file_system_api_t* api) {
    api->ZK_FileSystem_AddSearchPath = ZK_FileSystem_AddSearchPath;
    api->ZK_FileSystem_CloseFile = ZK_FileSystem_CloseFile;
    api->ZK_FileSystem_CreateDirectory = ZK_FileSystem_CreateDirectory;
    api->ZK_FileSystem_DeleteDirectory = ZK_FileSystem_DeleteDirectory;
    api->ZK_FileSystem_DeleteFile = ZK_FileSystem_DeleteFile;
    api->ZK_FileSystem_FindFiles = ZK_FileSystem_FindFiles;
    api->ZK_FileSystem_FileExists = ZK_FileSystem_FileExists;
    api->ZK_FileSystem_FlushFile = ZK_FileSystem_FlushFile;
    api->ZK_FileSystem_GetFileInfo = ZK_FileSystem_GetFileInfo;
    api->ZK_FileSystem_GetFilePosition = ZK_FileSystem_GetFilePosition;
    api->ZK_FileSystem_GetNumberOfSearchPaths = ZK_FileSystem_GetNumberOfSearchPaths;
    api->ZK_FileSystem_GetSearchPathByIndex = ZK_FileSystem_GetSearchPathByIndex;
    api->ZK_FileSystem_IsPathValid = ZK_FileSystem_IsPathValid;
    api->ZK_FileSystem_Mount = ZK_FileSystem_Mount;
    api->ZK_FileSystem_OpenFile = ZK_FileSystem_OpenFile;
    api->ZK_FileSystem_ReadFile = ZK_FileSystem_ReadFile;
    api->ZK_FileSystem_RemoveSearchPath = ZK_FileSystem_RemoveSearchPath;
    api->ZK_FileSystem_SearchPathExists = ZK_FileSystem_SearchPathExists;
    api->ZK_FileSystem_SetFilePosition = ZK_FileSystem_SetFilePosition;
    api->ZK_FileSystem_Unmount = ZK_FileSystem_Unmount;
    api->ZK_FileSystem_WriteFile = ZK_FileSystem_WriteFile;
}
