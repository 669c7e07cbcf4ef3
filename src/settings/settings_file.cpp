#include "settings/settings_file.h"

#include <string_view>
#include <vector>

#include "common/numbers.h"
#include "common/text_file.h"
#include "settings/setting_fields.h"

namespace wardel {

namespace {

// A switch is a check box state. Anything but 0 or 1 in a hand-edited file reads as off, so every reader
// of the switch (some test "equals 1", some "greater than 0") agrees on what the box shows.
std::int16_t asSwitch(std::int16_t value) {
    return value == 1 ? 1 : 0;
}

// A number too large for the switch keeps the old value; so does a line that is not a number as a whole,
// where the field asks for one.
void readSwitch(const SettingField& field, const std::string& line, AppSettings& s) {
    const std::string_view text = trim(line);
    const auto value = field.kind == SettingField::Kind::WholeSwitch ? wholeToInt16(text) : toInt16(text);
    if (value)
        s.*field.onOff = asSwitch(*value);
}

// The countdown starts from the leading number of the minutes; an empty text gives 0, a number beyond
// 16 bits leaves the countdown as it was.
void restartCountdown(const SettingField& field, const AppSettings& s, RuntimeValues& runtime) {
    if (const auto minutes = toInt16(s.*field.text))
        runtime.*field.countdown = *minutes;
}

void readField(const SettingField& field, const std::string& line, AppSettings& s, RuntimeValues& runtime) {
    if (field.isSwitch()) {
        readSwitch(field, line, s);
        return;
    }
    std::string& text = s.*field.text;
    if (field.kind == SettingField::Kind::Text && field.fallback && line.empty())
        text = field.fallback;
    else
        text = field.blanks == SettingField::Blanks::KeptOnLoad ? line : std::string(trim(line));
    if (field.kind == SettingField::Kind::Minutes)
        restartCountdown(field, s, runtime);
}

std::string writtenField(const SettingField& field, const AppSettings& s) {
    return field.isSwitch() ? std::to_string(s.*field.onOff) : std::string(trim(s.*field.text));
}

} // namespace

void restartAliveCountdowns(const AppSettings& settings, RuntimeValues& runtime) {
    for (const SettingField& field : kSettingFields)
        if (field.kind == SettingField::Kind::Minutes)
            restartCountdown(field, settings, runtime);
}

SettingsLoad loadSettingsFile(const std::filesystem::path& file, AppSettings& s, RuntimeValues& runtime) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return SettingsLoad::Missing;

    // An unreadable file reads like a file of empty lines.
    readSettingsText(readWholeFile(file).value_or(std::string()), s, runtime);
    return SettingsLoad::Loaded;
}

void readSettingsText(const std::string& text, AppSettings& s, RuntimeValues& runtime) {
    // Lines past the last field name no field; a huge file costs no more than the lines that name one.
    std::vector<std::string> lines = splitLines(text, kSettingLines);
    lines.resize(kSettingLines);
    for (const SettingField& field : kSettingFields)
        readField(field, lines[static_cast<std::size_t>(field.line - 1)], s, runtime);
}

std::string formatSettingsText(const AppSettings& s) {
    std::string content;
    for (const SettingField& field : kSettingFields) {
        const std::string line = writtenField(field, s);
        // A line break inside a field would shift every later field on the next load.
        if (line.find_first_of("\r\n") != std::string::npos)
            return {};
        content += line + "\r\n";
    }
    return content;
}

bool saveSettingsFile(const std::filesystem::path& file, const AppSettings& s) {
    const std::string content = formatSettingsText(s);
    if (content.empty())
        return false;
    // The file holds the gateway password in clear: only its owner may read it.
    return replaceFileAtomically(file, content, FileAccess::OwnerOnly);
}

namespace {

void setTimeLabels(const AppSettings& settings, TimeLabels labels) {
    // A setting not given yet (no file) is in force at its default, as a load of an empty line gives it.
    AppSettings inForce = settings;
    for (const SettingField& field : kSettingFields)
        if (field.kind == SettingField::Kind::Text && field.fallback && (inForce.*field.text).empty())
            inForce.*field.text = field.fallback;
    labels.lblTimeinterval.setText(timeIntervalCaption(inForce));
    labels.lblTimeout.setText(timeOutCaption(inForce));
}

} // namespace

SettingsLoad LoadSettings(const std::filesystem::path& file, AppSettings& settings, RuntimeValues& runtime,
                          TimeLabels labels) {
    const SettingsLoad load = loadSettingsFile(file, settings, runtime);
    // Without a file the labels still show the values in force, in the words a load gives them.
    setTimeLabels(settings, labels);
    return load;
}

bool SaveSettings(const std::filesystem::path& file, const AppSettings& settings, TimeLabels labels) {
    if (!saveSettingsFile(file, settings))
        return false;
    setTimeLabels(settings, labels);
    return true;
}

std::string timeIntervalCaption(const AppSettings& s) {
    return "Time interval cycle for monitoring : " + s.timeInterval + " seconds";
}

std::string timeOutCaption(const AppSettings& s) {
    return "Connecting timeout values : " + s.timeOut + " seconds";
}

} // namespace wardel
