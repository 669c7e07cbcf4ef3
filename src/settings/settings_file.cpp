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
std::int16_t AsSwitch(std::int16_t value) { return value == 1 ? 1 : 0; }

// Line 3, 7, 8: the leading number, rounded; a number too large for the field keeps the old value.
void ReadLeadingSwitch(const std::string& line, std::int16_t& field) {
    if (const auto value = ToInt16(Trim(line)))
        field = AsSwitch(*value);
}

// Line 11 must be a number as a whole; anything else keeps the old value.
void ReadWholeSwitch(const std::string& line, std::int16_t& field) {
    if (const auto value = WholeToInt16(Trim(line)))
        field = AsSwitch(*value);
}

void ReadCountdown(const std::string& minutes, std::int16_t& countdown) {
    if (minutes.empty()) {
        countdown = 0;
        return;
    }
    if (const auto value = ToInt16(minutes))
        countdown = *value;
}

}  // namespace

void RestartAliveCountdowns(const AppSettings& settings, RuntimeValues& runtime) {
    if (const auto minutes = ToInt16(settings.aliveMailMinutes))
        runtime.aliveMailCountdown = *minutes;
    if (const auto minutes = ToInt16(settings.aliveSmsMinutes))
        runtime.aliveSmsCountdown = *minutes;
}

SettingsLoad LoadSettingsFile(const std::filesystem::path& file, AppSettings& s, RuntimeValues& runtime) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return SettingsLoad::Missing;

    // An unreadable file reads like fifteen empty lines.
    ReadSettingsText(ReadWholeFile(file).value_or(std::string()), s, runtime);
    return SettingsLoad::Loaded;
}

void ReadSettingsText(const std::string& text, AppSettings& s, RuntimeValues& runtime) {
    std::vector<std::string> lines = SplitLines(text);
    lines.resize(kLines);

    s.timeInterval = lines[0].empty() ? "60" : lines[0];
    s.timeOut = lines[1].empty() ? "30" : lines[1];
    ReadLeadingSwitch(lines[2], s.alertEnabled);
    s.smsEmail = Trim(lines[3]);
    s.smsPassword = Trim(lines[4]);
    s.smsPhone = Trim(lines[5]);
    ReadLeadingSwitch(lines[6], s.startOnLaunch);
    ReadLeadingSwitch(lines[7], s.logEnabled);
    s.mailList = Trim(lines[8]);
    s.maxSms = Trim(lines[9]);
    ReadWholeSwitch(lines[10], s.aliveEnabled);
    s.aliveMailMinutes = Trim(lines[11]);
    ReadCountdown(s.aliveMailMinutes, runtime.aliveMailCountdown);
    s.aliveMailTo = Trim(lines[12]);
    s.aliveSmsMinutes = Trim(lines[13]);
    ReadCountdown(s.aliveSmsMinutes, runtime.aliveSmsCountdown);
    s.aliveSmsTo = Trim(lines[14]);
}

bool SaveSettingsFile(const std::filesystem::path& file, const AppSettings& s) {
    const std::array<std::string, kLines> lines = {
        std::string(Trim(s.timeInterval)),     std::string(Trim(s.timeOut)),
        std::to_string(s.alertEnabled),        std::string(Trim(s.smsEmail)),
        std::string(Trim(s.smsPassword)),      std::string(Trim(s.smsPhone)),
        std::to_string(s.startOnLaunch),       std::to_string(s.logEnabled),
        std::string(Trim(s.mailList)),         std::string(Trim(s.maxSms)),
        std::to_string(s.aliveEnabled),        std::string(Trim(s.aliveMailMinutes)),
        std::string(Trim(s.aliveMailTo)),      std::string(Trim(s.aliveSmsMinutes)),
        std::string(Trim(s.aliveSmsTo)),
    };
    std::string content;
    for (const auto& line : lines) {
        // A line break inside a field would shift every later field on the next load.
        if (line.find_first_of("\r\n") != std::string::npos)
            return false;
        content += line + "\r\n";
    }
    // The file holds the gateway password in clear: only its owner may read it.
    return ReplaceFileAtomically(file, content, FileAccess::OwnerOnly);
}

namespace {

void SetTimeLabels(const AppSettings& settings, TimeLabels labels) {
    labels.lblTimeinterval.setText(TimeIntervalCaption(settings));
    labels.lblTimeout.setText(TimeOutCaption(settings));
}

} // namespace

SettingsLoad LoadSettings(const std::filesystem::path& file, AppSettings& settings, RuntimeValues& runtime,
                          TimeLabels labels) {
    if (LoadSettingsFile(file, settings, runtime) == SettingsLoad::Missing)
        return SettingsLoad::Missing;
    SetTimeLabels(settings, labels);
    return SettingsLoad::Loaded;
}

void SaveSettings(const std::filesystem::path& file, const AppSettings& settings, TimeLabels labels) {
    if (SaveSettingsFile(file, settings))
        SetTimeLabels(settings, labels);
}

std::string TimeIntervalCaption(const AppSettings& s) {
    return "Time interval cycle for monitoring : " + s.timeInterval + " seconds";
}

std::string TimeOutCaption(const AppSettings& s) { return "Connecting timeout values : " + s.timeOut + " seconds"; }

}  // namespace wardel
