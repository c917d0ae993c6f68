// Puts the sound parts of the media layer in place: the null sound back end,
// the sound manager's hooks that start-up and the frame call, and the audio
// sub-table. Start-up calls it before it fills the interface table.
#pragma once

void ZKM_RegisterSound();
