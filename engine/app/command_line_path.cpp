// Running the program's command line.

#include "engine/app/startup.h"
#include "engine/runtime/log.h"

int (*zk_command_line_main)(int argc, char** argv) = nullptr;

int ZKI_CallCommandLineMain(int argc, char** argv) {
    int result = zk_command_line_main ? zk_command_line_main(argc, argv) : 0;
    // From here on the engine shows nothing: the command line's output is
    // the program's last word.
    zk_run_no_popups = 1;
    zk_run_silent = 1;
    return result;
}
