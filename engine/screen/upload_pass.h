// The per-frame upload pass, on the renderer thread: the renderer work that
// other threads queued (engine/render/resource_queues.h) is done here.
#pragma once

// The bitmap pass: queued textures freed, queued bitmaps uploaded (or their
// render targets made), then queued fonts uploaded, at most 10 of each.
void ZKI_ProcessBitmapResourceQueues();

// One upload pass: the bitmap pass, the buffer pass and the shader pass,
// timed with the engine clock; 201 ms or more is reported as a warning.
void ZKI_UpdateResourceQueues();
