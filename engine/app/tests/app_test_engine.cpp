// The test engine of the programs above the engine: start-up's own set-up.

#include "engine/app/startup.h"
#include "engine/runtime/tests/test_engine.h"

void SetUpTestEngine() { ZKI_StateSetup(nullptr); }
