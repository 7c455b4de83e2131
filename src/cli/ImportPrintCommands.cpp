#include "cli/CliCommands.h"
#include "cli/CliArguments.h"
int RunImport(const ParsedArguments&, CliContext&) { return CliExit::Failed; }
int RunPrint(const ParsedArguments&, CliContext&) { return CliExit::Failed; }
