#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/program_files.h"
#include "app/prometheus_export.h"

namespace wardel {

// Without arguments Wardel starts its window. With arguments it answers in the shell and ends, before any
// display is opened, so the answers work over SSH.
enum class CommandAction { StartMonitor, ShowHelp, ShowVersion, ExportPrometheus, ExportHistory, Refuse };

// --export-history FILE [--since YYYY-MM-DD] [--until YYYY-MM-DD]: both days are included.
struct HistoryExportOptions {
    std::string file;
    std::string since; // empty: from the first probe
    std::string until; // empty: to the last
};

struct CommandLine {
    CommandAction action = CommandAction::StartMonitor;
    PrometheusExportOptions exportOptions;
    HistoryExportOptions historyOptions;
    std::string refusal; // why the arguments are refused, one line
};

// Exit status for arguments that are refused.
inline constexpr int kBadArguments = 2;

// Reads the arguments after the program's name, left to right: --help and --version answer at once,
// anything unknown or incomplete is refused.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);
CommandLine parseCommandLine(int argc, const char* const* argv);

std::string helpText();
std::string versionText();

// Answers a command line that does not start the monitor; `locateFiles` is asked for the files a start-up
// reads only when they are needed. Returns the exit status.
int answerCommandLine(const CommandLine& command, const std::function<StartUpFiles()>& locateFiles, std::ostream& out,
                      std::ostream& errors);

} // namespace wardel
