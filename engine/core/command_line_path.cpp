// Running the program's command line. Kept apart from the rest of start-up
// so that only programs that run a command line need ZK_CommandLine_Main.

#include "engine/core/log.h"
#include "engine/core/startup.h"

int ZKI_CallCommandLineMain(int argc, char** argv) {
    int result = ZK_CommandLine_Main(argc, argv);
    // From here on the engine shows nothing: the command line's output is
    // the program's last word.
    zk_run_no_popups = 1;
    zk_run_silent = 1;
    return result;
}
