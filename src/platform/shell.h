#pragma once

#include <functional>
#include <string>

namespace wardel {

// What the desktop does for us without our waiting: open a file in its default application, a web address
// in the default browser, and let the operator pick an existing file.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openFile(const std::string& path) = 0;
    virtual bool openUrl(const std::string& url) = 0;
    // Shows a file-open dialog on `folder` limited to `filter` ("Name(pattern)"); onChosen receives the full
    // path of the chosen, existing file. Cancelling calls nothing. Never blocks the caller.
    virtual void chooseExistingFile(const std::string& folder, const std::string& filter,
                                    std::function<void(const std::string&)> onChosen) = 0;
};

} // namespace wardel
