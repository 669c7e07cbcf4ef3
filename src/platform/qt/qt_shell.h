#pragma once

#include <QPointer>

#include "platform/shell.h"

class QWidget;

namespace wardel::qt {

// The desktop's default applications and the file-open dialog. The dialog opens with open(), never
// exec(): the monitor goes on while the operator chooses.
class QtShell : public Shell {
public:
    // The window the dialog belongs to; may be set once it exists.
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    bool openFile(const std::string& path) override;
    bool openUrl(const std::string& url) override;
    void chooseExistingFile(const std::string& folder, const std::string& filter,
                            std::function<void(const std::string&)> onChosen) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace wardel::qt
