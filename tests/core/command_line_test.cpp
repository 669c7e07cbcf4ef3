#include "app/command_line.h"

#include <gtest/gtest.h>

namespace wardel {
namespace {

// The parsed line in one text: the action, then the refusal or the export's four options.
std::string shown(const CommandLine& c) {
    const PrometheusExportOptions& o = c.exportOptions;
    switch (c.action) {
    case CommandAction::StartMonitor:
        return "start";
    case CommandAction::ShowHelp:
        return "help";
    case CommandAction::ShowVersion:
        return "version";
    case CommandAction::Refuse:
        return "refuse: " + c.refusal;
    case CommandAction::ExportHistory:
        return "history " + c.historyOptions.file + " | " + c.historyOptions.since + " | " + c.historyOptions.until;
    case CommandAction::ExportPrometheus:
        break;
    }
    return "export " + o.folder.string() + " | " + o.ruleFile + " | " + o.alertmanager + " | " + o.blackboxExporter;
}

TEST(CommandLine, ArgumentsReadLeftToRight) {
    const std::string defaults = " | wardel.rules.yml | 127.0.0.1:9093 | 127.0.0.1:9115";
    const struct {
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {{}, "start"},
        {{"-h", "--bogus"}, "help"},
        {{"--version"}, "version"},
        {{"--bogus", "--help"}, "refuse: unknown argument \"--bogus\""},
        {{"--version=2"}, "refuse: --version takes no value"},
        {{"out"}, "refuse: unknown argument \"out\""},
        {{"--export-prometheus=out dir"}, "export out dir" + defaults},
        {{"--alertmanager", "am.lan:9093", "--export-prometheus", "out", "--rule-file", "/etc/prometheus/w.yml",
          "--blackbox-exporter=[::1]:9115"},
         "export out | /etc/prometheus/w.yml | am.lan:9093 | [::1]:9115"},
        {{"--export-prometheus="}, "refuse: --export-prometheus needs a value"},
        {{"--export-prometheus", "--rule-file", "x"}, "refuse: --export-prometheus needs a value"},
        {{"--export-prometheus", "a", "--export-prometheus", "b"}, "refuse: --export-prometheus given twice"},
        {{"--rule-file", "r.yml"}, "refuse: --rule-file needs --export-prometheus"},
        {{"--export-prometheus", "o", "--rule-file", "a\nb"}, "refuse: --rule-file \"a\\nb\" is not a usable path"},
        {{"--export-prometheus", "o", "--rule-file", "caf\xE9"},
         "refuse: --rule-file \"caf\xEF\xBF\xBD\" is not a usable path"},
        {{"--export-prometheus", "o", "--alertmanager", "::1:9093"},
         "refuse: --alertmanager \"::1:9093\" is not HOST:PORT"},
        {{"--export-prometheus", "o", "--blackbox-exporter", "h:65536"},
         "refuse: --blackbox-exporter \"h:65536\" is not HOST:PORT"},
        {{"--export-prometheus", "o", "--blackbox-exporter", "my host:80"},
         "refuse: --blackbox-exporter \"my host:80\" is not HOST:PORT"},
        {{"--export-prometheus", "o", "--blackbox-exporter", "h:"},
         "refuse: --blackbox-exporter \"h:\" is not HOST:PORT"},
        {{"--export-history", "h.csv"}, "history h.csv |  | "},
        {{"--until=2026-12-31", "--export-history", "h.csv", "--since", "2026-12-01"},
         "history h.csv | 2026-12-01 | 2026-12-31"},
        {{"--export-history", "h.csv", "--since", "1.12.2026"},
         "refuse: --since \"1.12.2026\" is not a day YYYY-MM-DD"},
        {{"--export-history", "h.csv", "--until", "2026-13-01"},
         "refuse: --until \"2026-13-01\" is not a day YYYY-MM-DD"},
        {{"--since", "2026-12-01"}, "refuse: --since needs --export-history"},
        {{"--export-history", "a", "--export-history", "b"}, "refuse: --export-history given twice"},
        {{"--export-history", "a", "--export-prometheus", "b"},
         "refuse: --export-history and --export-prometheus go one at a time"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shown(parseCommandLine(c.args)), c.expected) << (c.args.empty() ? "" : c.args[0]);
    // Every option the help names is one the command line takes.
    for (const char* option :
         {"--help", "--version", "--export-prometheus DIR", "--rule-file PATH", "--alertmanager HOST:PORT",
          "--blackbox-exporter HOST:PORT", "--export-history FILE.csv", "--since YYYY-MM-DD", "--until YYYY-MM-DD"})
        EXPECT_NE(helpText().find(std::string("  ") + option + " "), std::string::npos) << option;
}

} // namespace
} // namespace wardel
