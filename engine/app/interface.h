// Filling the interface table (zekar.h): every part from the layer that
// provides it.
#pragma once

#include "engine/runtime/zekar.h"

// Fills every slot of `table` and of all eleven sub-tables and stores each
// sub-table's address in its slot. Called by state set-up, again once the
// renderer is chosen (the colour setters depend on it) and whenever the
// renderer changes.
void ZKI_SetBasicInterface(zekar_t* table);

// One filler per sub-table: fills it as ZKI_SetBasicInterface does and stores
// its address in its slot (41, 42, 43, 45, 46, 47, 48, 50, 49, 51).
void ZKI_SetInterfaceAchievements(zekar_t* table);
void ZKI_SetInterfaceAudio(zekar_t* table);
void ZKI_SetInterfaceCloud(zekar_t* table);
void ZKI_SetInterfaceFileSystem(zekar_t* table);
void ZKI_SetInterfaceGraphics(zekar_t* table);
void ZKI_SetInterfaceLeaderboards(zekar_t* table);
void ZKI_SetInterfaceNotifications(zekar_t* table);
void ZKI_SetInterfaceStatistic(zekar_t* table);
void ZKI_SetInterfaceSocial(zekar_t* table);
void ZKI_SetInterfaceUGC(zekar_t* table);
