#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QLineEdit;

namespace wardel {
class AlertSetting;
} // namespace wardel

namespace wardel::qt {

class FormBinding;

// The settings dialog alertSetting on screen: a modeless window with the controls top to bottom in their
// frames. It shows the control values of the AlertSetting model and hands every operator action to it; the
// monitor goes on while it is open.
//
// The model may die before the widget (Cancel, the close box, a save that passed): the owner calls
// detach() first, after which the widget shows nothing and forwards nothing.
class AlertSettingDialog : public QDialog {
    Q_OBJECT
public:
    // Runs an operator action on the model through its owner, which destroys a model that asked to close
    // once the action has returned.
    using Forward = std::function<void(const std::function<void(AlertSetting&)>&)>;

    AlertSettingDialog(AlertSetting& model, Forward forward, QWidget* parent = nullptr);
    ~AlertSettingDialog() override;

    void detach();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();

    AlertSetting* model_;
    Forward forward_;
    std::unique_ptr<FormBinding> binding_;
    QLineEdit* phone_ = nullptr;
};

} // namespace wardel::qt
