// The engine a test program sets up, as far as the layers it links go.
//
// Each layer's tests link the one test engine of their layer (a small
// library under that layer's tests/), which defines SetUpTestEngine: the
// runtime's tests get the state and the table of the runtime and the
// device (so do the data model's, whose layer fills no part of the table;
// they read files through a stand-in file table of their own), storage's
// tests also the file systems' part, the media tests the whole media
// layer, the services' tests the services, and the tests above the engine
// start-up's own set-up. Fixtures call it; it never creates the core
// mutexes (the fixture does, when it wants them).
#pragma once

// Lets go of what an earlier set-up of these layers holds, then sets up
// the state and fills the table's parts of these layers (every other slot
// neutral).
void SetUpTestEngine();
