#include "app/prometheus_export.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <system_error>

#include "common/numbers.h"
#include "common/saturating.h"
#include "common/text_file.h"
#include "common/utf8.h"
#include "hosts/host_list_file.h"
#include "settings/setting_fields.h"
#include "settings/settings_file.h"

namespace wardel {

namespace {

constexpr const char* kJob = "wardel";
constexpr const char* kModule = "tcp_connect";
constexpr const char* kTargetsFile = "targets.json";
constexpr const char* kBlackboxFile = "blackbox.yml";
constexpr const char* kPrometheusFile = "prometheus.yml";
constexpr const char* kRulesFile = "wardel.rules.yml";
constexpr const char* kAlertmanagerFile = "alertmanager.yml";
// A starter for Alertmanager: the alerts of one outage go out together, and the receiver is the operator's.
constexpr const char* kAlertmanagerYml =
    "# Alertmanager for Wardel's alerts: grouped by alert name, the first notification 10 s after the first alert.\n"
    "route:\n"
    "  receiver: wardel\n"
    "  group_by: [alertname]\n"
    "  group_wait: 10s\n"
    "receivers:\n"
    "  - name: wardel\n"
    "    webhook_configs:\n"
    "      # Your receiver's URL here, for example a chat's incoming webhook:\n"
    "      # - url: \"http://127.0.0.1:5001/\"\n";
constexpr const char* kAlertName = "WardelTargetDown";
// Wardel's alert text for a Down outcome, with the time the alert became active, so the text stays the same
// while it fires. Prometheus keeps that time in ALERTS_FOR_STATE from the evaluation after the one in which
// the alert became active; in that one the evaluation's own time is it.
constexpr const char* kAlertSummary =
    "Alert for {{ $labels.host }} {{ $labels.port }} Down("
    "{{ $active := query \"time()\" }}"
    "{{ with printf \"ALERTS_FOR_STATE{alertname=%q, job=%q, instance=%q, host=%q, port=%q, description=%q}\" "
    "\"WardelTargetDown\" $labels.job $labels.instance $labels.host $labels.port $labels.description | query }}"
    "{{ $active = . }}{{ end }}"
    "{{ range $active }}{{ (toTime .Value).Local.Format \"15:04:05\" }}{{ end }}) "
    "{{ $labels.description }}";
constexpr std::int32_t kLowestPort = 1;
constexpr std::int32_t kHighestPort = 65535;
// Blackbox takes half a second off the scrape timeout for itself; a second to spare keeps the module's.
constexpr int kScrapeTimeoutSpare = 1;

std::string hex(unsigned value, int digits) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
    return buffer;
}

// A number setting as the engine counts it: an empty text is the default, and the timer that counts it down
// runs out after one tick at the least.
int engineSeconds(const AppSettings& settings, std::string AppSettings::*member) {
    const std::string& setting = settings.*member;
    return std::max<int>(1, saturatedInt16(trim(setting).empty() ? settingDefault(member) : setting));
}

// A failure limit of 0 or 1 (or none) makes every failure reach it.
int failureLimit(const std::string& cell) {
    return std::max<int>(1, saturatedInt16(trim(cell)));
}

std::string seconds(int value) {
    return std::to_string(value) + "s";
}

struct Target {
    std::string address;
    std::string host;
    std::string port;
    std::string description;
    int limit = 1;
};

// The address the blackbox exporter dials for a row, or why it has none.
std::string targetAddress(const HostEntry& entry, std::string& reason) {
    if (entry.host.empty()) {
        reason = "no host name or address";
        return {};
    }
    if (trim(entry.port).empty()) {
        reason = "no port";
        return {};
    }
    // The port the monitor would dial: the leading number of the cell.
    const auto port = toInt32(entry.port);
    if (!port || *port < kLowestPort || *port > kHighestPort) {
        reason = "port " + jsonQuoted(entry.port) + " is not a number from 1 to 65535";
        return {};
    }
    const std::string host = utf8::toValid(entry.host);
    const bool bareIpv6 = host.find(':') != std::string::npos && host.front() != '[';
    return (bareIpv6 ? "[" + host + "]" : host) + ":" + std::to_string(*port);
}

std::string targetsJson(const std::vector<Target>& targets) {
    if (targets.empty())
        return "[]\n";
    std::string json = "[\n";
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const Target& t = targets[i];
        json += "  {\"targets\": [" + jsonQuoted(t.address) + "], \"labels\": {\"host\": " + jsonQuoted(t.host) +
                ", \"port\": " + jsonQuoted(t.port) + ", \"description\": " + jsonQuoted(t.description) +
                ", \"failure_limit\": \"" + std::to_string(t.limit) + "\"}}";
        json += i + 1 < targets.size() ? ",\n" : "\n";
    }
    return json + "]\n";
}

std::string blackboxYml(int timeout) {
    return std::string("# Wardel's probe: a plain TCP connect, nothing sent or read.\n"
                       "modules:\n  ") +
           kModule + ":\n    prober: tcp\n    timeout: " + seconds(timeout) + "\n";
}

std::string prometheusYml(int interval, int timeout, const PrometheusExportOptions& options) {
    // Prometheus refuses a scrape timeout longer than the interval; the probe then gets what the interval leaves.
    const int scrapeTimeout = std::min(interval, timeout + kScrapeTimeoutSpare);
    const std::string lines[] = {
        "# Wardel's targets, probed through the blackbox exporter at Wardel's cycle interval.",
        "rule_files:",
        "  - " + yamlQuoted(options.ruleFile),
        "alerting:",
        "  alertmanagers:",
        "    - static_configs:",
        "        - targets: [" + yamlQuoted(options.alertmanager) + "]",
        "scrape_configs:",
        std::string("  - job_name: ") + kJob,
        "    scrape_interval: " + seconds(interval),
        "    scrape_timeout: " + seconds(scrapeTimeout),
        "    metrics_path: /probe",
        "    params:",
        std::string("      module: [") + kModule + "]",
        "    file_sd_configs:",
        std::string("      - files: [") + kTargetsFile + "]",
        // The exporter's own way: the target becomes its parameter and the instance, the exporter the address.
        "    relabel_configs:",
        "      - source_labels: [__address__]",
        "        target_label: __param_target",
        "      - source_labels: [__param_target]",
        "        target_label: instance",
        "      - target_label: __address__",
        "        replacement: " + yamlQuoted(options.blackboxExporter),
    };
    std::string yml;
    for (const std::string& line : lines)
        yml += line + "\n";
    return yml;
}

// Wardel alerts on the failure that brings a row's count to its limit: that many failed cycles, the first
// one (limit - 1) intervals before the last.
std::string rulesYml(int interval, const std::set<int>& limits) {
    std::string yml = std::string("groups:\n  - name: ") + kJob + "\n    interval: " + seconds(interval) +
                      "\n    rules:" + (limits.empty() ? " []\n" : "\n");
    for (const int limit : limits) {
        const std::string number = std::to_string(limit);
        const std::string expr =
            std::string("timestamp(probe_success{job=\"") + kJob + "\", failure_limit=\"" + number + "\"} == 0)";
        yml += std::string("      - alert: ") + kAlertName + "\n";
        yml += "        expr: " + yamlQuoted(expr) + "\n";
        yml += "        for: " + seconds((limit - 1) * interval) + "\n";
        yml += "        labels:\n          failure_limit: \"" + number + "\"\n";
        yml += "        annotations:\n          summary: " + yamlQuoted(kAlertSummary) + "\n";
    }
    return yml;
}

} // namespace

std::string jsonQuoted(std::string_view text) {
    const std::string valid = utf8::toValid(text);
    std::string quoted = "\"";
    for (const char c : valid) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            quoted += {'\\', c};
        else if (c == '\n')
            quoted += "\\n";
        else if (c == '\t')
            quoted += "\\t";
        else if (c == '\r')
            quoted += "\\r";
        else if (b < 0x20 || b == 0x7F)
            quoted += "\\u" + hex(b, 4);
        else
            quoted += c;
    }
    return quoted + "\"";
}

std::string yamlQuoted(std::string_view text) {
    const std::string valid = utf8::toValid(text);
    std::string quoted = "\"";
    std::size_t i = 0;
    while (i < valid.size()) {
        const std::size_t start = i;
        const utf8::CodePoint read = utf8::decodeFront(std::string_view(valid).substr(i));
        const std::uint32_t code = read.code;
        i += read.bytes;
        if (code == '"' || code == '\\')
            quoted += {'\\', static_cast<char>(code)};
        else if (code == '\n')
            quoted += "\\n";
        else if (code == '\t')
            quoted += "\\t";
        else if (code < 0x20 || code == 0x7F)
            quoted += "\\x" + hex(code, 2);
        // C1 controls (U+0085 among them, a line break to YAML), the line and paragraph separators, the byte
        // order mark and the two non-characters are not printable in a YAML stream.
        else if ((code >= 0x80 && code <= 0x9F) || code == 0x2028 || code == 0x2029 || code == 0xFEFF ||
                 code == 0xFFFE || code == 0xFFFF)
            quoted += "\\u" + hex(code, 4);
        else
            quoted.append(valid, start, i - start);
    }
    return quoted + "\"";
}

PrometheusExport buildPrometheusExport(const HostTable& grid, const AppSettings& settings,
                                       const PrometheusExportOptions& options) {
    PrometheusExport result;
    std::vector<Target> targets;
    std::set<int> limits;
    // The empty table's blank row is no target; a blank row 1 above other rows is listed as left out.
    const bool empty = grid.isEmpty() && grid.rowCount() == 2;
    for (int row = 1; !empty && row < grid.rowCount(); ++row) {
        const HostEntry entry = grid.entry(row);
        std::string reason;
        std::string address = targetAddress(entry, reason);
        if (address.empty()) {
            result.leftOut.push_back({row, entry.host, reason});
            continue;
        }
        const int limit = failureLimit(entry.timeoutLimit);
        limits.insert(limit);
        targets.push_back({std::move(address), entry.host, entry.port, entry.description, limit});
    }
    result.targets = static_cast<int>(targets.size());

    const int interval = engineSeconds(settings, &AppSettings::timeInterval);
    const int timeout = engineSeconds(settings, &AppSettings::timeOut);
    result.files = {{kTargetsFile, targetsJson(targets)},
                    {kBlackboxFile, blackboxYml(timeout)},
                    {kRulesFile, rulesYml(interval, limits)},
                    {kPrometheusFile, prometheusYml(interval, timeout, options)},
                    {kAlertmanagerFile, kAlertmanagerYml}};
    return result;
}

int exportToPrometheus(const StartUpFiles& files, const PrometheusExportOptions& options, std::ostream& out,
                       std::ostream& errors) {
    HostTable grid;
    loadHostListFile(files.hostList, grid);
    AppSettings settings;
    RuntimeValues runtime;
    loadSettingsFile(files.settings, settings, runtime);

    const PrometheusExport exported = buildPrometheusExport(grid, settings, options);
    std::error_code ec;
    std::filesystem::create_directories(options.folder, ec);
    for (const PrometheusFile& file : exported.files) {
        // Others may write the export's folder: a link planted at a name is replaced, never written through.
        if (!replaceFileAtomically(options.folder / file.name, file.content, FileAccess::Default,
                                   LinkAtName::Replace)) {
            errors << "wardel: cannot write " << (options.folder / file.name).string() << "\n";
            return kExportNotWritten;
        }
    }
    for (const LeftOutRow& row : exported.leftOut)
        errors << "wardel: row " << row.row << " left out (host " << jsonQuoted(row.host) << "): " << row.reason
               << "\n";
    out << exported.targets << (exported.targets == 1 ? " target" : " targets") << " exported to "
        << options.folder.string() << "\n";
    return exported.leftOut.empty() ? kExportDone : kExportRowsLeftOut;
}

} // namespace wardel
