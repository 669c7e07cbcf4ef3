#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "settings/setting_fields.h"
#include "settings/settings_file.h"

using namespace wardel;

// Any bytes as setting.ini. The switches read are check box states, and no field holds a line end that
// would shift the lines when the file is saved.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AppSettings s;
    RuntimeValues runtime;
    readSettingsText(std::string(fuzz::asText(data, size)), s, runtime);
    for (const SettingField& field : kSettingFields) {
        if (field.isSwitch())
            fuzz::require(s.*field.onOff == 0 || s.*field.onOff == 1, "a switch is 0 or 1");
        else
            fuzz::require((s.*field.text).find('\n') == std::string::npos, "no field holds an LF");
    }
    // What the load made of it can be saved. An empty time limit loads back as its default; from then on a
    // save and a load give back the same lines.
    const std::string first = formatSettingsText(s);
    fuzz::require(!first.empty(), "whatever was loaded can be saved");
    AppSettings again;
    readSettingsText(first, again, runtime);
    const std::string second = formatSettingsText(again);
    readSettingsText(second, again, runtime);
    fuzz::require(formatSettingsText(again) == second, "a saved file loads back as it was saved");
    return 0;
}
