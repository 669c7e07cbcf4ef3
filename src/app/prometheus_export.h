#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "app/program_files.h"
#include "hosts/host_table.h"
#include "settings/app_settings.h"

namespace wardel {

// The move to a server-side monitor: the host table and the settings as a Prometheus set-up that probes the
// same targets through the blackbox exporter and raises Wardel's alert after as many failed cycles.
//
//   targets.json      file-based discovery, one target per row ("host:port", IPv6 literals in brackets),
//                     with the row's host, port text, description and failure limit as labels
//   blackbox.yml      the tcp_connect module: a plain connect with Wardel's connect timeout
//   prometheus.yml    the scrape job through the exporter at Wardel's cycle interval, the rule file and
//                     the Alertmanager
//   wardel.rules.yml  one alerting rule per failure limit in the table, whose summary is Wardel's alert text

struct PrometheusExportOptions {
    std::filesystem::path folder;                    // where the four files are written
    std::string ruleFile = "wardel.rules.yml";       // as prometheus.yml names it (relative to itself)
    std::string alertmanager = "127.0.0.1:9093";     // host:port
    std::string blackboxExporter = "127.0.0.1:9115"; // host:port
};

// A row Prometheus cannot take, and why, in the words the operator reads on standard error.
struct LeftOutRow {
    int row = 0;
    std::string host;
    std::string reason;
};

struct PrometheusFile {
    std::string name;
    std::string content;
};

struct PrometheusExport {
    std::vector<PrometheusFile> files; // in the order they are written; prometheus.yml, which names the rest, last
    std::vector<LeftOutRow> leftOut;
    int targets = 0;
};

// The four files for the table's data rows and the settings as the monitor would use them.
PrometheusExport buildPrometheusExport(const HostTable& grid, const AppSettings& settings,
                                       const PrometheusExportOptions& options);

// Exit statuses of a command-line export.
inline constexpr int kExportDone = 0;
inline constexpr int kExportRowsLeftOut = 1;
inline constexpr int kExportNotWritten = 3;

// Reads the files as a start-up reads them, writes the export into the options' folder (created when
// missing), each file whole or not at all, says on `out` what was written and lists left-out rows on
// `errors`. Nothing is written beside the files read, and nothing is logged. Returns the exit status.
int exportToPrometheus(const StartUpFiles& files, const PrometheusExportOptions& options, std::ostream& out,
                       std::ostream& errors);

// Text in double quotes as JSON reads it, and as YAML reads it: every byte that is not well-formed UTF-8
// becomes U+FFFD first, so the result is always valid in either.
std::string jsonQuoted(std::string_view text);
std::string yamlQuoted(std::string_view text);

} // namespace wardel
