#pragma once
// The subcommands of the norvalt tool. Each lives in a source file of its
// own and registers itself on the application; when it runs it leaves the
// process exit code in exitCode.
#include <CLI/CLI.hpp>

namespace norvalt::cli {

// Exit codes shared by all subcommands.
constexpr int exitOk = 0;
constexpr int exitFailed = 1;  // the work could not be done (e.g. a file that does not load)
constexpr int exitUsage = 2;   // the command line is wrong
constexpr int exitDataBase = 3;  // the database cannot be read

void addInspectCommand(CLI::App& app, int& exitCode);
void addCalcCommand(CLI::App& app, int& exitCode);
void addSampleLabCommand(CLI::App& app, int& exitCode);
void addReportCommand(CLI::App& app, int& exitCode);

} // namespace norvalt::cli
