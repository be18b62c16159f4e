// The commands of the command-line tool. Each takes the arguments after its
// name, prints its own help for "--help", throws UsageError for a command
// line it cannot follow and returns the exit status.
#pragma once

#include <string>
#include <vector>

namespace dyma::cli {

using CommandArgs = std::vector<std::string>;

int InfoCommand(const CommandArgs& args);
int ExportCommand(const CommandArgs& args);
int SolveCommand(const CommandArgs& args);
int ReportCommand(const CommandArgs& args);
int ImportCommand(const CommandArgs& args);
int PicksCommand(const CommandArgs& args);

struct Arguments;
// dyma export on project files: their solutions as QuakeML, CSV or JSON.
int ExportSolutions(const Arguments& args);

}  // namespace dyma::cli
