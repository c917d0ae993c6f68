// Setting the state record and the interface table up for a start, as far
// as the runtime goes.
#pragma once

// Zeroes the table `zekar`, zk_parms and every plain field of zk_state and
// empties the state's containers (ZKI_StateReset: the registered and core
// mutexes are destroyed), forgets the renderer, points zk at zekar, fills
// the runtime's part of the table (ZKI_FillRuntimeInterface: every other
// slot neutral) and sets the defaults: log level 2, windowed, orientations,
// bitmap defaults, transform and scissor tops -1, world-view identity,
// depth range 0.1/0.5/1.0, depth default 0.5, scratch quads, overlay zoom
// 1.0, reference counting on, byte order, the platform argument and the
// time bases. The layers above fill their parts of the table afterwards;
// start-up (ZKI_StateSetup, engine/app) does it for all of them.
void ZKI_SetUpState(void* platform_argument);
