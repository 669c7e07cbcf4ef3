#pragma once

#include <filesystem>
#include <string>

#include "platform/controls.h"
#include "settings/app_settings.h"

namespace wardel {

// setting.ini: one line per row of kSettingFields, no keys; the line number alone names the field.
inline constexpr const char* kSettingsFileName = "setting.ini";

enum class SettingsLoad { Missing, Loaded };

// Reads the file into the settings and the two alive countdowns. A missing file changes nothing.
SettingsLoad loadSettingsFile(const std::filesystem::path& file, AppSettings& settings, RuntimeValues& runtime);

// Reads the text of the file into the settings and the two alive countdowns; a line the text lacks reads
// as an empty one.
void readSettingsText(const std::string& text, AppSettings& settings, RuntimeValues& runtime);

// The lines of the file, each ended by CR LF: texts trimmed, switches in decimal. Empty when a field holds a
// line break, which would make more lines than the file has fields.
std::string formatSettingsText(const AppSettings& settings);

// Writes every line, or nothing at all; false when the file could not be written or a field holds a line
// break (it would make more lines than the file has fields).
bool saveSettingsFile(const std::filesystem::path& file, const AppSettings& settings);

// What a saved settings dialog does to the I-am-alive countdowns: each starts again from its period, the
// leading number of its minutes text; a number beyond 16 bits leaves that countdown as it was.
void restartAliveCountdowns(const AppSettings& settings, RuntimeValues& runtime);
// The main window's captions of the cycle interval and the connect timeout.
struct TimeLabels {
    Control& lblTimeinterval;
    Control& lblTimeout;
};

// LoadSettings: reads the file and shows the two time captions; a missing file changes no setting.
SettingsLoad LoadSettings(const std::filesystem::path& file, AppSettings& settings, RuntimeValues& runtime,
                          TimeLabels labels);
// SaveSettings: writes the file and, once it is written, shows the two time captions; false when the file
// could not be written.
bool SaveSettings(const std::filesystem::path& file, const AppSettings& settings, TimeLabels labels);

// The captions the main window shows for the cycle interval and the connect timeout.
std::string timeIntervalCaption(const AppSettings& settings);
std::string timeOutCaption(const AppSettings& settings);

} // namespace wardel
