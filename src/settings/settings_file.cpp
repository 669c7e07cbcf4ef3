#include "settings/settings_file.h"

#include <array>
#include <vector>

#include "common/numbers.h"
#include "common/text_file.h"

namespace wardel {

namespace {

constexpr int kLines = 15;

// A switch is a check box state. Anything but 0 or 1 in a hand-edited file reads as off, so every reader
// of the switch (some test "equals 1", some "greater than 0") agrees on what the box shows.
std::int16_t asSwitch(std::int16_t value) {
    return value == 1 ? 1 : 0;
}

// Line 3, 7, 8: the leading number, rounded; a number too large for the field keeps the old value.
void readLeadingSwitch(const std::string& line, std::int16_t& field) {
    if (const auto value = toInt16(trim(line)))
        field = asSwitch(*value);
}

// Line 11 must be a number as a whole; anything else keeps the old value.
void readWholeSwitch(const std::string& line, std::int16_t& field) {
    if (const auto value = wholeToInt16(trim(line)))
        field = asSwitch(*value);
}

void readCountdown(const std::string& minutes, std::int16_t& countdown) {
    if (minutes.empty()) {
        countdown = 0;
        return;
    }
    if (const auto value = toInt16(minutes))
        countdown = *value;
}

} // namespace

void restartAliveCountdowns(const AppSettings& settings, RuntimeValues& runtime) {
    if (const auto minutes = toInt16(settings.aliveMailMinutes))
        runtime.aliveMailCountdown = *minutes;
    if (const auto minutes = toInt16(settings.aliveSmsMinutes))
        runtime.aliveSmsCountdown = *minutes;
}

SettingsLoad loadSettingsFile(const std::filesystem::path& file, AppSettings& s, RuntimeValues& runtime) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return SettingsLoad::Missing;

    // An unreadable file reads like fifteen empty lines.
    readSettingsText(readWholeFile(file).value_or(std::string()), s, runtime);
    return SettingsLoad::Loaded;
}

void readSettingsText(const std::string& text, AppSettings& s, RuntimeValues& runtime) {
    // Lines past the fifteenth name no field; a huge file costs no more than its first fifteen lines.
    std::vector<std::string> lines = splitLines(text, kLines);
    lines.resize(kLines);

    s.timeInterval = lines[0].empty() ? "60" : lines[0];
    s.timeOut = lines[1].empty() ? "30" : lines[1];
    readLeadingSwitch(lines[2], s.alertEnabled);
    s.smsEmail = trim(lines[3]);
    s.smsPassword = trim(lines[4]);
    s.smsPhone = trim(lines[5]);
    readLeadingSwitch(lines[6], s.startOnLaunch);
    readLeadingSwitch(lines[7], s.logEnabled);
    s.mailList = trim(lines[8]);
    s.maxSms = trim(lines[9]);
    readWholeSwitch(lines[10], s.aliveEnabled);
    s.aliveMailMinutes = trim(lines[11]);
    readCountdown(s.aliveMailMinutes, runtime.aliveMailCountdown);
    s.aliveMailTo = trim(lines[12]);
    s.aliveSmsMinutes = trim(lines[13]);
    readCountdown(s.aliveSmsMinutes, runtime.aliveSmsCountdown);
    s.aliveSmsTo = trim(lines[14]);
}

bool saveSettingsFile(const std::filesystem::path& file, const AppSettings& s) {
    const std::array<std::string, kLines> lines = {
        std::string(trim(s.timeInterval)), std::string(trim(s.timeOut)),         std::to_string(s.alertEnabled),
        std::string(trim(s.smsEmail)),     std::string(trim(s.smsPassword)),     std::string(trim(s.smsPhone)),
        std::to_string(s.startOnLaunch),   std::to_string(s.logEnabled),         std::string(trim(s.mailList)),
        std::string(trim(s.maxSms)),       std::to_string(s.aliveEnabled),       std::string(trim(s.aliveMailMinutes)),
        std::string(trim(s.aliveMailTo)),  std::string(trim(s.aliveSmsMinutes)), std::string(trim(s.aliveSmsTo)),
    };
    std::string content;
    for (const auto& line : lines) {
        // A line break inside a field would shift every later field on the next load.
        if (line.find_first_of("\r\n") != std::string::npos)
            return false;
        content += line + "\r\n";
    }
    // The file holds the gateway password in clear: only its owner may read it.
    return replaceFileAtomically(file, content, FileAccess::OwnerOnly);
}

namespace {

void setTimeLabels(const AppSettings& settings, TimeLabels labels) {
    labels.lblTimeinterval.setText(timeIntervalCaption(settings));
    labels.lblTimeout.setText(timeOutCaption(settings));
}

} // namespace

SettingsLoad LoadSettings(const std::filesystem::path& file, AppSettings& settings, RuntimeValues& runtime,
                          TimeLabels labels) {
    if (loadSettingsFile(file, settings, runtime) == SettingsLoad::Missing)
        return SettingsLoad::Missing;
    setTimeLabels(settings, labels);
    return SettingsLoad::Loaded;
}

void SaveSettings(const std::filesystem::path& file, const AppSettings& settings, TimeLabels labels) {
    if (saveSettingsFile(file, settings))
        setTimeLabels(settings, labels);
}

std::string timeIntervalCaption(const AppSettings& s) {
    return "Time interval cycle for monitoring : " + s.timeInterval + " seconds";
}

std::string timeOutCaption(const AppSettings& s) {
    return "Connecting timeout values : " + s.timeOut + " seconds";
}

} // namespace wardel
