// Fitting the program's screen onto the device: autoscaling (the program
// draws for its reference size, which is scaled, centred and, with the
// product feature AUTOSCALE_RETAIN_ASPECT_RATIO, letterboxed onto the
// device), the orientation angles with the smooth rotation between them,
// the one world transform that maps the program's screen onto the device,
// and the black borders over what lies outside the program's area.
//
// The overlay zoom and the device size in the program's orientation are
// screen facts of the runtime (engine/runtime/screen.h). Main thread only.
#pragma once

#include "engine/base/ntransform.h"

// The interface rotation angle of an orientation, in degrees: 2 gives 180,
// 4 gives -90, 8 gives 90, every other value 0.
float ZKI_GetOrientationAngle(int orientation);
// True while the interface turns towards its target orientation.
bool ZKI_IsOrientationRotationRunning();

// With autoscaling off: scales 1, offsets 0. With it on: switches itself off
// for good when the program's size is its reference size (or it has none);
// otherwise the program takes its reference size as its own and the scales,
// offsets, inverse scales and overlay offsets are computed.
void ZKI_SetupAutoscaling();
// With autoscaling on: the scales, offsets and inverse scales for the
// device's current size. A device or reference side below 1 gives scales 1
// and offsets 0 until both are known.
void ZKI_UpdateAutoscaling();

// Before each draw: the orientations the program allows (12 landscape, 3
// portrait) and the interface rotation angle, eased between the interface
// and the target orientation while a rotation runs. dt is not used.
void ZKI_UpdateScreenTransforms(float dt);
// The matrix that maps the program's screen onto the device: the program's
// centre onto the device's, scaled by the autoscale scales times the zoom,
// turned on a fixed-resolution device held in the other orientation.
nTransform ZKI_GetScreenTransform();
// Pushes ZKI_GetScreenTransform() as the world transform.
void ZKI_PushScreenTransforms();
// Black rectangles over the device area outside the program's screen: around
// a zoomed-out screen, and beside a letterboxed or turning one (colour
// white again afterwards).
void ZKI_DrawScreenBorderRectangles();
