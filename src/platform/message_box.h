#pragma once

#include <functional>
#include <string>

namespace wardel {

// Message boxes titled "Wardel" with one OK button and no icon. show() never blocks: boxes queue and
// appear one at a time in the order asked for; onOk runs when the operator closes that box.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void show(const std::string& text, std::function<void()> onOk = {}) = 0;
};

} // namespace wardel
