// How the media layer puts itself into the engine: start-up calls
// ZKM_RegisterMedia before it fills the interface table, and each part of
// the layer overwrites the members of the registration records it provides.
#pragma once

void ZKM_RegisterMedia();
