// Applying a requested screen size and mode to the running renderer, and the
// render states every frame's overlays start from.
#pragma once

// Applies zk_state.parms (width, height, windowed) to the renderer: tells
// the program (event 11 with phase 0), lets the renderer re-initialise
// quickly while no bitmap or sound can be taken (GET_BITMAP, then
// GET_SOUND), or else shuts it down and starts it again; then the running
// parameters and the program take the new size, autoscaling and the overlay
// offsets are set up again, keys 0-255 and 510-517 are released, the default
// render states, projection and render target are put back, the sound back
// end re-initialises with the master volume, and the program hears event 11
// with phase 1 and event 12 with its new size. Main thread, inside the
// frame; nothing without a renderer.
void ZKI_ReInitRenderer();

// Through the graphics table: no shader, alpha 1, white, blend 1, cull mode
// 0, depth test off, depth function 3, depth write off, text transform
// (1, 1, 0), text box width 0, text align 0.
void ZKI_SetDefaultStates();
