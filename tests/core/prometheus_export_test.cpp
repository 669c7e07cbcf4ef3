#include "app/prometheus_export.h"

#include <iterator>
#include <sstream>

#include <gtest/gtest.h>

#include "support/settings_builders.h"
#include "support/test_rig.h"

namespace wardel {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempFolder;
using test::writeFile;

const std::string kFast = test::settingsText({.timeInterval = "2", .timeOut = "5"});

// A files folder with the given host.ini (and setting.ini), exported into a folder of its own.
struct Exported {
    TempFolder files;
    TempFolder out;
    std::ostringstream stdOut;
    std::ostringstream stdErr;
    int status = -1;

    Exported(const std::string& hosts, const char* settings = kFast.c_str(), PrometheusExportOptions options = {}) {
        writeFile(files / "host.ini", hosts);
        if (settings)
            writeFile(files / "setting.ini", settings);
        options.folder = out / "prometheus";
        status = exportToPrometheus(startUpFiles(files.path(), files.path()), options, stdOut, stdErr);
    }
    std::string file(const char* name) const { return readFile(out / "prometheus" / name); }
};

std::string target(const std::string& address, const std::string& host, const std::string& port,
                   const std::string& description, int limit) {
    return "  {\"targets\": [\"" + address + "\"], \"labels\": {\"host\": \"" + host + "\", \"port\": \"" + port +
           "\", \"description\": \"" + description + "\", \"failure_limit\": \"" + std::to_string(limit) + "\"}}";
}

int entries(const fs::path& folder) {
    return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(PrometheusExport, OneTargetPerRowAndTheRowsLeftOutListed) {
    const struct {
        const char* name;
        std::string hosts;
        std::string targets;
        std::string errors;
        int status;
    } cases[] = {
        {"no host list", "", "[]\n", "", kExportDone},
        {"empty table", "\"\",\"\",\"\",\"\"\r\n", "[]\n", "", kExportDone},
        {"IPv4, name and IPv6 literal in brackets",
         "\"10.0.0.5\",\"80\",\"\",\"5\"\r\n\"db.lan\",\"5432\",\"db\",\"3\"\r\n\"fe80::1%eth0\",\"22\",\"ssh\","
         "\"2\"\r\n",
         "[\n" + target("10.0.0.5:80", "10.0.0.5", "80", "", 5) + ",\n" +
             target("db.lan:5432", "db.lan", "5432", "db", 3) + ",\n" +
             target("[fe80::1%eth0]:22", "fe80::1%eth0", "22", "ssh", 2) + "\n]\n",
         "", kExportDone},
        {"port read as the monitor reads it; limits of 0, none and words count as 1",
         "\"a\",\" 8080 \",\"\",\"0\"\r\n\"b\",\"443.4\",\"\",\"\"\r\n\"c\",\"25\",\"\",\"many\"\r\n",
         "[\n" + target("a:8080", "a", " 8080 ", "", 1) + ",\n" + target("b:443", "b", "443.4", "", 1) + ",\n" +
             target("c:25", "c", "25", "", 1) + "\n]\n",
         "", kExportDone},
        {"rows Prometheus cannot take",
         "\"a\",\"\",\"\",\"5\"\r\n\"b\",\"smtp\",\"\",\"5\"\r\n\"c\",\"0\",\"\",\"5\"\r\n\"d\",\"65536\",\"\","
         "\"5\"\r\n"
         "\"e\",\"99999999999\",\"\",\"5\"\r\n\"\",\"80\",\"\",\"5\"\r\n\"f\",\"65535\",\"\",\"5\"\r\n",
         "[\n" + target("f:65535", "f", "65535", "", 5) + "\n]\n",
         "wardel: row 1 left out (host \"a\"): no port\n"
         "wardel: row 2 left out (host \"b\"): port \"smtp\" is not a number from 1 to 65535\n"
         "wardel: row 3 left out (host \"c\"): port \"0\" is not a number from 1 to 65535\n"
         "wardel: row 4 left out (host \"d\"): port \"65536\" is not a number from 1 to 65535\n"
         "wardel: row 5 left out (host \"e\"): port \"99999999999\" is not a number from 1 to 65535\n"
         "wardel: row 6 left out (host \"\"): no host name or address\n",
         kExportRowsLeftOut},
        {"labels escaped for JSON, bytes that are not UTF-8 replaced",
         "\"h\",\"1\",\"back\\slash caf\xC3\xA9 tab\there \x01 \xFF end\",\"5\"\r\n",
         "[\n" + target("h:1", "h", "1", "back\\\\slash caf\xC3\xA9 tab\\there \\u0001 \xEF\xBF\xBD end", 5) + "\n]\n",
         "", kExportDone},
    };
    for (const auto& c : cases) {
        const Exported exported(c.hosts);
        EXPECT_EQ(exported.status, c.status) << c.name;
        EXPECT_EQ(exported.file("targets.json"), c.targets) << c.name;
        EXPECT_EQ(exported.stdErr.str(), c.errors) << c.name;
    }
}

TEST(PrometheusExport, TimesFollowTheSettingsAsTheMonitorUsesThem) {
    const struct {
        const char* name;
        std::string interval;
        std::string timeout;
        std::string scrape; // scrape_interval and scrape_timeout
        std::string probeTimeout;
        std::string forLimit3;
    } cases[] = {
        {"defaults for empty settings", "", "", "scrape_interval: 60s\n    scrape_timeout: 31s", "timeout: 30s",
         "for: 120s"},
        {"leading numbers", " 10 s", "3.6", "scrape_interval: 10s\n    scrape_timeout: 5s", "timeout: 4s", "for: 20s"},
        {"a timeout as long as the interval", "5", "30", "scrape_interval: 5s\n    scrape_timeout: 5s", "timeout: 30s",
         "for: 10s"},
        {"nothing below one second", "0", "-4", "scrape_interval: 1s\n    scrape_timeout: 1s", "timeout: 1s",
         "for: 2s"},
        {"blanks only", "   ", "  ", "scrape_interval: 60s\n    scrape_timeout: 31s", "timeout: 30s", "for: 120s"},
    };
    HostTable grid;
    grid.setCell(1, HostTable::colHost, "h");
    grid.setCell(1, HostTable::colPort, "80");
    grid.setCell(1, HostTable::colTimeoutLimit, "3");
    for (const auto& c : cases) {
        AppSettings settings;
        settings.timeInterval = c.interval;
        settings.timeOut = c.timeout;
        const PrometheusExport exported = buildPrometheusExport(grid, settings, {});
        ASSERT_EQ(exported.files.size(), 5u);
        EXPECT_EQ(exported.files[4].name, "alertmanager.yml");
        EXPECT_EQ(exported.files[1].name, "blackbox.yml");
        EXPECT_NE(exported.files[1].content.find(c.probeTimeout), std::string::npos) << c.name;
        EXPECT_EQ(exported.files[3].name, "prometheus.yml");
        EXPECT_NE(exported.files[3].content.find(c.scrape), std::string::npos) << c.name;
        EXPECT_EQ(exported.files[2].name, "wardel.rules.yml");
        EXPECT_NE(exported.files[2].content.find(c.forLimit3), std::string::npos) << c.name;
    }
}

TEST(PrometheusExport, OneRulePerFailureLimitWithWardelsAlertText) {
    const Exported exported("\"a\",\"1\",\"\",\"3\"\r\n\"b\",\"2\",\"\",\"1\"\r\n\"c\",\"3\",\"\",\"3\"\r\n");
    const std::string rule = "      - alert: WardelTargetDown\n"
                             "        expr: \"timestamp(probe_success{job=\\\"wardel\\\", failure_limit=\\\"%L\\\"} "
                             "== 0)\"\n"
                             "        for: %Fs\n"
                             "        labels:\n"
                             "          failure_limit: \"%L\"\n"
                             "        annotations:\n"
                             "          summary: \"Alert for {{ $labels.host }} {{ $labels.port }} Down(…\n";
    const auto ruleFor = [&](const char* limit, const char* forSeconds) {
        std::string text = rule;
        for (auto at = text.find("%L"); at != std::string::npos; at = text.find("%L"))
            text.replace(at, 2, limit);
        return text.replace(text.find("%F"), 2, forSeconds);
    };
    // What the summary's template gives is Prometheus's to tell: the end-to-end export test reads it there.
    std::string rules = exported.file("wardel.rules.yml");
    for (auto at = rules.find(" Down({{"); at != std::string::npos; at = rules.find(" Down({{", at))
        rules.replace(at + 6, rules.find('\n', at) - at - 6, "…");
    EXPECT_EQ(rules,
              "groups:\n  - name: wardel\n    interval: 2s\n    rules:\n" + ruleFor("1", "0") + ruleFor("3", "4"));
}

TEST(PrometheusExport, QuotedTextIsValidJsonAndYaml) {
    const struct {
        std::string text;
        std::string json;
        std::string yaml;
    } cases[] = {
        {"plain", "\"plain\"", "\"plain\""},
        {"say \"hi\" \\ there", "\"say \\\"hi\\\" \\\\ there\"", "\"say \\\"hi\\\" \\\\ there\""},
        {"line\nbreak\r\ttab", "\"line\\nbreak\\r\\ttab\"", "\"line\\nbreak\\x0D\\ttab\""},
        {std::string("nul\0bell\x07 del\x7F", 14), "\"nul\\u0000bell\\u0007 del\\u007F\"",
         "\"nul\\x00bell\\x07 del\\x7F\""},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\"",
         "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\""},
        {"next\xC2\x85line\xE2\x80\xA8sep\xEF\xBB\xBF", "\"next\xC2\x85line\xE2\x80\xA8sep\xEF\xBB\xBF\"",
         "\"next\\u0085line\\u2028sep\\uFEFF\""},
        {"latin1 caf\xE9 cut \xE2\x82", "\"latin1 caf\xEF\xBF\xBD cut \xEF\xBF\xBD\"",
         "\"latin1 caf\xEF\xBF\xBD cut \xEF\xBF\xBD\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(jsonQuoted(c.text), c.json) << c.text;
        EXPECT_EQ(yamlQuoted(c.text), c.yaml) << c.text;
    }
}

TEST(PrometheusExport, FilesReplacedWholeAndFailuresSaidSo) {
    // A second export replaces every file whole and leaves no temporary file behind.
    Exported first("\"a\",\"1\",\"\",\"3\"\r\n\"b\",\"2\",\"\",\"3\"\r\n");
    writeFile(first.files / "host.ini", "\"c\",\"3\",\"\",\"4\"\r\n");
    std::ostringstream out, err;
    PrometheusExportOptions options;
    options.folder = first.out / "prometheus";
    EXPECT_EQ(exportToPrometheus(startUpFiles(first.files.path(), first.files.path()), options, out, err), kExportDone);
    EXPECT_EQ(first.file("targets.json"), "[\n" + target("c:3", "c", "3", "", 4) + "\n]\n");
    EXPECT_EQ(entries(options.folder), 5);
    EXPECT_EQ(out.str(), "1 target exported to " + options.folder.string() + "\n");
    // Nothing is written beside the files read.
    EXPECT_EQ(entries(first.files.path()), 2);

    // Links planted at the four names are replaced by the files; the files they name are left as they were.
    TempFolder outside;
    for (const char* name : {"targets.json", "blackbox.yml", "wardel.rules.yml", "prometheus.yml"}) {
        writeFile(outside / name, "operator's own");
        fs::remove(options.folder / name);
        fs::create_symlink(outside / name, options.folder / name);
    }
    EXPECT_EQ(exportToPrometheus(startUpFiles(first.files.path(), first.files.path()), options, out, err), kExportDone);
    for (const auto& file : fs::directory_iterator(outside.path()))
        EXPECT_EQ(readFile(file.path()), "operator's own") << file.path();
    EXPECT_EQ(first.file("targets.json"), "[\n" + target("c:3", "c", "3", "", 4) + "\n]\n");

    // A folder that is a file cannot take the export.
    TempFolder files, out2;
    writeFile(out2 / "taken", "x");
    std::ostringstream ignored, errors;
    options.folder = out2 / "taken";
    EXPECT_EQ(exportToPrometheus(startUpFiles(files.path(), files.path()), options, ignored, errors),
              kExportNotWritten);
    EXPECT_EQ(errors.str(), "wardel: cannot write " + (out2 / "taken" / "targets.json").string() + "\n");
    EXPECT_EQ(readFile(out2 / "taken"), "x");
}

} // namespace
} // namespace wardel
