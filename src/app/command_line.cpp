#include "app/command_line.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include <cstdint>
#include <fstream>
#include <limits>

#include "build_config.h"
#include "common/numbers.h"
#include "common/utf8.h"
#include "history/history_export.h"

namespace wardel {

namespace {

constexpr const char* kHelp =
    "Usage: wardel [--help | --version | --export-prometheus DIR [OPTION...] |\n"
    "               --export-history FILE.csv [--since YYYY-MM-DD] [--until YYYY-MM-DD]]\n"
    "\n"
    "Wardel watches TCP services from the desktop. Without arguments it opens its window.\n"
    "\n"
    "  --help                          show this text and exit\n"
    "  --version                       show the version and exit\n"
    "  --export-prometheus DIR         write the host table and settings into DIR as a Prometheus set-up\n"
    "                                  (targets.json, blackbox.yml, prometheus.yml, wardel.rules.yml) and exit\n"
    "  --rule-file PATH                the rule file as prometheus.yml names it (default: wardel.rules.yml,\n"
    "                                  beside prometheus.yml)\n"
    "  --alertmanager HOST:PORT        the Alertmanager that gets the alerts (default: 127.0.0.1:9093)\n"
    "  --blackbox-exporter HOST:PORT   the blackbox exporter that probes the targets (default: 127.0.0.1:9115)\n"
    "  --export-history FILE.csv       write the stored probes (history.db) as CSV into FILE.csv and exit; it\n"
    "                                  reads the history while Wardel runs\n"
    "  --since YYYY-MM-DD              the first day the history export takes (default: the first probe)\n"
    "  --until YYYY-MM-DD              the last day the history export takes (default: the last probe)\n"
    "\n"
    "Exit status: 0 done; 1 exported, but rows Prometheus cannot take were left out (listed on standard\n"
    "error); 2 arguments refused; 3 a file of the export could not be written, or the history read.\n";

// A host:port a Prometheus configuration can name: a host (an IPv6 literal in brackets) and a port from 1 to
// 65535.
bool isHostAndPort(const std::string& text) {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size())
        return false;
    const std::string host = text.substr(0, colon);
    const std::string port = text.substr(colon + 1);
    if (!std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }) || port.size() > 5)
        return false;
    const int number = std::stoi(port);
    if (number < 1 || number > 65535)
        return false;
    const bool bracketed = host.front() == '[' && host.back() == ']';
    if (!bracketed && host.find(':') != std::string::npos)
        return false;
    return std::all_of(host.begin(), host.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

// A path written into prometheus.yml: well-formed UTF-8 without control characters.
bool isCleanPath(const std::string& text) {
    return !text.empty() && utf8::toValid(text) == text &&
           std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// A day as YYYY-MM-DD, read into `day`.
bool readDay(const std::string& text, LocalDateTime& day) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9')
            return false;
    day = {std::stoi(text.substr(0, 4)), std::stoi(text.substr(5, 2)), std::stoi(text.substr(8, 2)), 0, 0, 0, 0};
    return day.month >= 1 && day.month <= 12 && day.day >= 1 && day.day <= 31;
}

// The history's fields, by option name.
struct HistoryOption {
    const char* name;
    std::string HistoryExportOptions::*field;
};
constexpr HistoryOption kHistoryOptions[] = {{"--export-history", &HistoryExportOptions::file},
                                             {"--since", &HistoryExportOptions::since},
                                             {"--until", &HistoryExportOptions::until}};

int exportHistory(const std::filesystem::path& database, const HistoryExportOptions& options, std::ostream& errors) {
    LocalDateTime since;
    LocalDateTime until;
    std::int64_t fromMs = std::numeric_limits<std::int64_t>::min();
    std::int64_t untilMs = std::numeric_limits<std::int64_t>::max();
    if (readDay(options.since, since))
        fromMs = epochMs(since);
    if (readDay(options.until, until)) {
        ++until.day; // the whole day; the calendar carries an overflowing day into the next month
        untilMs = epochMs(until);
    }
    HistoryStore store(database);
    if (store.open("", true).first == HistoryStore::Opened::Unavailable) {
        errors << "wardel: " << database.string() << " cannot be read\n";
        return kExportNotWritten;
    }
    std::ofstream file(options.file, std::ios::binary | std::ios::trunc);
    if (!file || !exportHistoryCsv(store, fromMs, untilMs, file) || !file.flush()) {
        errors << "wardel: the history could not be written to " << options.file << "\n";
        return kExportNotWritten;
    }
    return 0;
}

CommandLine refuse(std::string why) {
    CommandLine refused;
    refused.action = CommandAction::Refuse;
    refused.refusal = std::move(why);
    return refused;
}

// The export's options, by name: where each value goes and how it is checked.
struct ExportOption {
    const char* name;
    std::string PrometheusExportOptions::*field;
    bool (*usable)(const std::string&);
    const char* unusable;
};
constexpr ExportOption kExportOptions[] = {
    {"--rule-file", &PrometheusExportOptions::ruleFile, isCleanPath, " is not a usable path"},
    {"--alertmanager", &PrometheusExportOptions::alertmanager, isHostAndPort, " is not HOST:PORT"},
    {"--blackbox-exporter", &PrometheusExportOptions::blackboxExporter, isHostAndPort, " is not HOST:PORT"},
};

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine command;
    bool exporting = false;
    std::string exportOnly; // the first export option seen, refused without the export
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (name == "--help" || name == "-h" || name == "--version") {
            if (value)
                return refuse(name + " takes no value");
            command.action = name == "--version" ? CommandAction::ShowVersion : CommandAction::ShowHelp;
            return command;
        }
        const auto option = std::find_if(std::begin(kExportOptions), std::end(kExportOptions),
                                         [&](const ExportOption& o) { return name == o.name; });
        const auto historyOption = std::find_if(std::begin(kHistoryOptions), std::end(kHistoryOptions),
                                                [&](const HistoryOption& o) { return name == o.name; });
        if (name != "--export-prometheus" && option == std::end(kExportOptions) &&
            historyOption == std::end(kHistoryOptions))
            return refuse("unknown argument " + jsonQuoted(arguments[i]));
        // A value in the next argument never starts with a dash, so a forgotten value does not swallow an option.
        if (!value && i + 1 < arguments.size() && arguments[i + 1].rfind('-', 0) != 0)
            value = arguments[++i];
        if (!value || value->empty())
            return refuse(name + " needs a value");
        if (historyOption != std::end(kHistoryOptions)) {
            std::string& field = command.historyOptions.*historyOption->field;
            LocalDateTime day;
            if (!field.empty())
                return refuse(name + " given twice");
            if (historyOption != std::begin(kHistoryOptions) && !readDay(*value, day))
                return refuse(name + " " + jsonQuoted(*value) + " is not a day YYYY-MM-DD");
            field = *value;
            continue;
        }
        if (option == std::end(kExportOptions)) {
            if (exporting)
                return refuse("--export-prometheus given twice");
            exporting = true;
            command.exportOptions.folder = *value;
            continue;
        }
        if (!option->usable(*value))
            return refuse(name + " " + jsonQuoted(*value) + option->unusable);
        if (exportOnly.empty())
            exportOnly = name;
        command.exportOptions.*option->field = *value;
    }
    if (!exportOnly.empty() && !exporting)
        return refuse(exportOnly + " needs --export-prometheus");
    const HistoryExportOptions& history = command.historyOptions;
    if (history.file.empty() && !(history.since + history.until).empty())
        return refuse(std::string(history.since.empty() ? "--until" : "--since") + " needs --export-history");
    if (!history.file.empty() && exporting)
        return refuse("--export-history and --export-prometheus go one at a time");
    if (exporting)
        command.action = CommandAction::ExportPrometheus;
    else if (!history.file.empty())
        command.action = CommandAction::ExportHistory;
    return command;
}

CommandLine parseCommandLine(int argc, const char* const* argv) {
    return parseCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
}

std::string helpText() {
    return kHelp;
}

std::string versionText() {
    return std::string("Wardel ") + WARDEL_VERSION + "\n";
}

int answerCommandLine(const CommandLine& command, const std::function<StartUpFiles()>& locateFiles, std::ostream& out,
                      std::ostream& errors) {
    switch (command.action) {
    case CommandAction::ShowHelp:
        out << helpText();
        return 0;
    case CommandAction::ShowVersion:
        out << versionText();
        return 0;
    case CommandAction::ExportPrometheus:
        return exportToPrometheus(locateFiles(), command.exportOptions, out, errors);
    case CommandAction::ExportHistory:
        return exportHistory(locateFiles().history, command.historyOptions, errors);
    case CommandAction::Refuse:
    case CommandAction::StartMonitor:
        break;
    }
    errors << "wardel: " << command.refusal << " (see wardel --help)\n";
    return kBadArguments;
}

} // namespace wardel
