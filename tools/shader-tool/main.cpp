// Process entry of zk-shader-tool: the engine's command-line path with the
// tool's command line.

#include "platform/macos/app/shell.h"
#include "tools/shader-tool/command_line.h"

int main(int argc, char** argv) { return ZK_OSX_RunCommandLine(argc, argv, ZK_CommandLine_Main); }
