#include "app/command_line.h"

#include <sstream>

#include <gtest/gtest.h>

namespace wardel {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, ArgumentsReadLeftToRight) {
    const PrometheusExportOptions defaults;
    const struct {
        Args args;
        CommandAction action;
        std::string refusal = {};
        std::string folder = {};
        std::string ruleFile = {};
        std::string alertmanager = {};
        std::string exporter = {};
    } cases[] = {
        {{}, CommandAction::StartMonitor},
        {{"--help"}, CommandAction::ShowHelp},
        {{"-h", "--bogus"}, CommandAction::ShowHelp},
        {{"--version"}, CommandAction::ShowVersion},
        {{"--bogus", "--help"}, CommandAction::Refuse, "unknown argument \"--bogus\""},
        {{"--version=2"}, CommandAction::Refuse, "--version takes no value"},
        {{"-platform", "offscreen"}, CommandAction::Refuse, "unknown argument \"-platform\""},
        {{"out"}, CommandAction::Refuse, "unknown argument \"out\""},
        {{"--export-prometheus", "out"}, CommandAction::ExportPrometheus, "", "out"},
        {{"--export-prometheus=out dir"}, CommandAction::ExportPrometheus, "", "out dir"},
        {{"--export-prometheus", "out", "--rule-file", "/etc/prometheus/wardel.yml", "--alertmanager=am.lan:9093",
          "--blackbox-exporter", "[::1]:9115"},
         CommandAction::ExportPrometheus,
         "",
         "out",
         "/etc/prometheus/wardel.yml",
         "am.lan:9093",
         "[::1]:9115"},
        {{"--alertmanager", "10.0.0.9:80", "--export-prometheus", "out"},
         CommandAction::ExportPrometheus,
         "",
         "out",
         "",
         "10.0.0.9:80"},
        {{"--export-prometheus"}, CommandAction::Refuse, "--export-prometheus needs a value"},
        {{"--export-prometheus="}, CommandAction::Refuse, "--export-prometheus needs a value"},
        {{"--export-prometheus", "--rule-file", "x"}, CommandAction::Refuse, "--export-prometheus needs a value"},
        {{"--export-prometheus", "a", "--export-prometheus", "b"},
         CommandAction::Refuse,
         "--export-prometheus given twice"},
        {{"--rule-file", "r.yml"}, CommandAction::Refuse, "--rule-file needs --export-prometheus"},
        {{"--export-prometheus", "o", "--rule-file", "a\nb"},
         CommandAction::Refuse,
         "--rule-file \"a\\nb\" is not a usable path"},
        {{"--export-prometheus", "o", "--rule-file", "caf\xE9"},
         CommandAction::Refuse,
         "--rule-file \"caf\xEF\xBF\xBD\" is not a usable path"},
        {{"--export-prometheus", "o", "--alertmanager", "9093"},
         CommandAction::Refuse,
         "--alertmanager \"9093\" is not HOST:PORT"},
        {{"--export-prometheus", "o", "--alertmanager", "::1:9093"},
         CommandAction::Refuse,
         "--alertmanager \"::1:9093\" is not HOST:PORT"},
        {{"--export-prometheus", "o", "--blackbox-exporter", "h:65536"},
         CommandAction::Refuse,
         "--blackbox-exporter \"h:65536\" is not HOST:PORT"},
        {{"--export-prometheus", "o", "--blackbox-exporter", "my host:80"},
         CommandAction::Refuse,
         "--blackbox-exporter \"my host:80\" is not HOST:PORT"},
        {{"--export-prometheus", "o", "--blackbox-exporter", "h:"},
         CommandAction::Refuse,
         "--blackbox-exporter \"h:\" is not HOST:PORT"},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& arg : c.args)
            shown += arg + " ";
        const CommandLine command = parseCommandLine(c.args);
        EXPECT_EQ(command.action, c.action) << shown;
        EXPECT_EQ(command.refusal, c.refusal) << shown;
        if (c.action != CommandAction::ExportPrometheus)
            continue;
        const auto orDefault = [](const std::string& given, const std::string& fallback) {
            return given.empty() ? fallback : given;
        };
        EXPECT_EQ(command.exportOptions.folder, c.folder) << shown;
        EXPECT_EQ(command.exportOptions.ruleFile, orDefault(c.ruleFile, defaults.ruleFile)) << shown;
        EXPECT_EQ(command.exportOptions.alertmanager, orDefault(c.alertmanager, defaults.alertmanager)) << shown;
        EXPECT_EQ(command.exportOptions.blackboxExporter, orDefault(c.exporter, defaults.blackboxExporter)) << shown;
    }
}

TEST(CommandLine, AnswersWithoutTheFilesUnlessExporting) {
    const struct {
        Args args;
        int status;
        std::string out;
        std::string errors;
    } cases[] = {
        {{"--help"}, 0, helpText(), ""},
        {{"--version"}, 0, std::string("Wardel ") + WARDEL_VERSION + "\n", ""},
        {{"--bogus"}, kBadArguments, "", "wardel: unknown argument \"--bogus\" (see wardel --help)\n"},
    };
    for (const auto& c : cases) {
        std::ostringstream out, errors;
        bool located = false;
        const auto locate = [&] {
            located = true;
            return StartUpFiles{};
        };
        EXPECT_EQ(answerCommandLine(parseCommandLine(c.args), locate, out, errors), c.status) << c.args[0];
        EXPECT_EQ(out.str(), c.out) << c.args[0];
        EXPECT_EQ(errors.str(), c.errors) << c.args[0];
        EXPECT_FALSE(located) << c.args[0];
    }
    // Every option the help names is one the command line takes.
    for (const char* option : {"--help", "--version", "--export-prometheus DIR", "--rule-file PATH",
                               "--alertmanager HOST:PORT", "--blackbox-exporter HOST:PORT"})
        EXPECT_NE(helpText().find(std::string("  ") + option + " "), std::string::npos) << option;
}

} // namespace
} // namespace wardel
