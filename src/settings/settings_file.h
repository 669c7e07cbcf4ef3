#pragma once

#include <filesystem>
#include <string>

#include "settings/app_settings.h"

namespace wardel {

// setting.ini: fifteen lines, no keys; the line number alone names the field.
inline constexpr const char* kSettingsFileName = "setting.ini";

enum class SettingsLoad { Missing, Loaded };

// Reads the file into the settings and the two alive countdowns. A missing file changes nothing.
SettingsLoad LoadSettingsFile(const std::filesystem::path& file, AppSettings& settings, RuntimeValues& runtime);

// Reads the text of the file into the settings and the two alive countdowns; a line the text lacks reads
// as an empty one.
void ReadSettingsText(const std::string& text, AppSettings& settings, RuntimeValues& runtime);

// Writes all fifteen lines, or nothing at all; false when the file could not be written.
bool SaveSettingsFile(const std::filesystem::path& file, const AppSettings& settings);

// The captions the main window shows for the cycle interval and the connect timeout.
std::string TimeIntervalCaption(const AppSettings& settings);
std::string TimeOutCaption(const AppSettings& settings);

}  // namespace wardel
