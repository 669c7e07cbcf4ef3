#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/alert_setting.h"
#include "support/window_rig.h"
#include "ui/alert_setting_dialog.h"
#include "ui/control_binding.h"
#include "ui/link_label.h"

namespace wardel::qt {
namespace {

using test::WindowRig;

TEST(FormBindingTest, AFormWithAControlLeftWithoutItsWidgetIsNotMade) {
    const struct {
        const char* name;
        std::function<void(FormBinding&, Control& unbound, Control& foreign, QLabel* label)> bind;
        const char* named; // the control the error names
    } cases[] = {
        {"a control not bound", [](FormBinding&, Control&, Control&, QLabel*) {}, "unbound"},
        {"a null widget",
         [](FormBinding& b, Control& unbound, Control&, QLabel*) { b.bind(unbound, static_cast<QLabel*>(nullptr)); },
         "unbound"},
        {"another form's control", [](FormBinding& b, Control&, Control& foreign, QLabel* l) { b.bind(foreign, l); },
         "foreign"},
    };
    for (const auto& c : cases) {
        ControlBoard board;
        ControlBoard otherBoard;
        Control bound{board, "bound", "shown"};
        Control unbound{board, "unbound", ""};
        Control foreign{otherBoard, "foreign", ""};
        QLabel boundLabel;
        QLabel otherLabel;
        FormBinding binding(board);
        try {
            binding.bind(bound, &boundLabel);
            c.bind(binding, unbound, foreign, &otherLabel);
            binding.seal();
            ADD_FAILURE() << c.name << ": the form was made";
        } catch (const std::logic_error& error) {
            EXPECT_NE(std::string(error.what()).find(c.named), std::string::npos) << c.name << ": " << error.what();
        }
        EXPECT_TRUE(boundLabel.text().isEmpty()) << c.name; // nothing was shown
    }
}

enum class Form { Main, Dialog };
enum class Kind { Caption, Dialog, Label, Link, Button, CheckBox, TextBox, ComboBox, Frame };

// What the widget shows as the control's text.
QString shownText(QWidget* widget, Kind kind) {
    switch (kind) {
    case Kind::Caption:
    case Kind::Dialog:
        return widget->windowTitle();
    case Kind::Label:
    case Kind::Link:
        return qobject_cast<QLabel*>(widget)->text();
    case Kind::Button:
    case Kind::CheckBox:
        return qobject_cast<QAbstractButton*>(widget)->text();
    case Kind::TextBox:
        return qobject_cast<QLineEdit*>(widget)->text();
    case Kind::ComboBox:
        return qobject_cast<QComboBox*>(widget)->currentText();
    case Kind::Frame:
        return qobject_cast<QGroupBox*>(widget)->title();
    }
    return {};
}

bool ofKind(QWidget* widget, Kind kind) {
    switch (kind) {
    case Kind::Caption:
        return widget->isWindow();
    case Kind::Dialog:
        return qobject_cast<AlertSettingDialog*>(widget) != nullptr;
    case Kind::Label:
        return qobject_cast<QLabel*>(widget) && !dynamic_cast<LinkLabel*>(widget);
    case Kind::Link:
        return dynamic_cast<LinkLabel*>(widget) != nullptr;
    case Kind::Button:
        return qobject_cast<QPushButton*>(widget) != nullptr;
    case Kind::CheckBox:
        return qobject_cast<QCheckBox*>(widget) != nullptr;
    case Kind::TextBox:
        return qobject_cast<QLineEdit*>(widget) != nullptr;
    case Kind::ComboBox:
        return qobject_cast<QComboBox*>(widget) != nullptr;
    case Kind::Frame:
        return qobject_cast<QGroupBox*>(widget) != nullptr;
    }
    return false;
}

// A screen reader hears a box by the label that names it, everything else by its own caption or text.
QString labelNaming(QWidget* box) {
    for (const QLabel* label : box->window()->findChildren<QLabel*>())
        if (label->buddy() == box)
            return label->text().trimmed();
    return {};
}

// The widget a control's kind asks for.
Kind widgetKind(Form form, const Control& control) {
    switch (control.design().kind) {
    case ControlDesign::Kind::Caption:
        return form == Form::Main ? Kind::Caption : Kind::Dialog;
    case ControlDesign::Kind::Label:
    case ControlDesign::Kind::Heading:
        return Kind::Label;
    case ControlDesign::Kind::Link:
        return Kind::Link;
    case ControlDesign::Kind::TextBox:
        return Kind::TextBox;
    case ControlDesign::Kind::ComboBox:
        return Kind::ComboBox;
    case ControlDesign::Kind::Button:
        return Kind::Button;
    case ControlDesign::Kind::CheckBox:
        return Kind::CheckBox;
    case ControlDesign::Kind::Frame:
        return Kind::Frame;
    }
    return Kind::Label;
}

struct Row {
    Form form;
    std::string name;
    Kind kind;
};

// Every control of both forms, as their boards list them: the widget of its kind, showing the model's values,
// handing the operator's action to the model.
TEST(FormBindingTest, EveryControlOfBothFormsShowsItsValuesAndHandsOnTheOperatorsAction) {
    const auto gatewaySite = [](WindowRig& r) { return r.shell.openedUrls.size() == 1; };
    const auto closed = [](WindowRig& r) { return !r.port.hasAlertSetting(); };
    const auto reset = [](WindowRig& r) { return r.port.runtime().smsSentToday == 0; };
    // What the settings dialog's model made of the operator's click on its window, buttons and links.
    const std::map<std::string, std::function<bool(WindowRig&)>> seen = {
        {"alertSetting", closed}, {"Label2", gatewaySite}, {"Label3(4)", gatewaySite}, {"SMS_Reset", reset},
        {"Save", closed},         {"Cancel", closed},      {"Label3(5)", gatewaySite},
    };

    std::vector<Row> rows;
    {
        WindowRig rig;
        rig.port.Form_Load();
        for (const Control* control : rig.controls.all())
            rows.push_back({Form::Main, control->name(), widgetKind(Form::Main, *control)});
        for (const Control* control : rig.port.alertSetting().controls().board.all())
            rows.push_back({Form::Dialog, control->name(), widgetKind(Form::Dialog, *control)});
    }

    for (const Row& row : rows) {
        WindowRig rig;
        rig.port.Form_Load();
        rig.port.runtime().smsSentToday = 3;
        const bool main = row.form == Form::Main;
        if (!main)
            rig.port.alertSetting().show();
        QWidget* form = main ? static_cast<QWidget*>(&rig.window)
                             : rig.window.findChild<AlertSettingDialog*>(QStringLiteral("alertSetting"));
        ASSERT_NE(form, nullptr);
        Control* control = nullptr;
        for (Control* c : main ? rig.controls.all() : rig.port.alertSetting().controls().board.all())
            if (c->name() == row.name)
                control = c;
        ASSERT_NE(control, nullptr) << row.name;
        const bool window = row.kind == Kind::Caption || row.kind == Kind::Dialog;
        QWidget* widget = window ? form : form->findChild<QWidget*>(QString::fromStdString(row.name));
        ASSERT_NE(widget, nullptr) << row.name;
        EXPECT_EQ(widget->objectName().toStdString(), row.name);
        EXPECT_TRUE(ofKind(widget, row.kind)) << row.name;
        const bool box = row.kind == Kind::TextBox || row.kind == Kind::ComboBox;
        EXPECT_EQ(widget->accessibleName(), box ? labelNaming(widget) : QString()) << row.name;
        if (box) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << row.name;
        }

        // The model's values, shown.
        control->setText("Shown 1");
        EXPECT_EQ(shownText(widget, row.kind), QStringLiteral("Shown 1")) << row.name;
        if (row.kind == Kind::CheckBox) {
            control->setChecked(!control->checked());
            EXPECT_EQ(qobject_cast<QCheckBox*>(widget)->isChecked(), control->checked()) << row.name;
        }
        if (!window) {
            control->setEnabled(false);
            EXPECT_FALSE(widget->isEnabled()) << row.name;
            control->setEnabled(true);
            EXPECT_TRUE(widget->isEnabled()) << row.name;
        }
        if (row.kind != Kind::Caption) {
            control->setVisible(false);
            EXPECT_FALSE(widget->isVisible()) << row.name;
            control->setVisible(true);
            EXPECT_TRUE(widget->isVisible()) << row.name;
        }

        // The operator's action, as the model sees it.
        int clicks = 0;
        if (main)
            control->setClickProcedure([&clicks] { ++clicks; });
        switch (row.kind) {
        case Kind::Caption:
            rig.window.close();
            EXPECT_EQ(rig.programEnds, 1) << row.name;
            break;
        case Kind::Dialog:
            form->close();
            break;
        case Kind::TextBox: {
            auto* edit = qobject_cast<QLineEdit*>(widget);
            QTest::keyClicks(edit, "7");
            EXPECT_EQ(control->text(), "Shown 17") << row.name;
            EXPECT_EQ(edit->cursorPosition(), 8) << row.name; // no echo moved the cursor
            break;
        }
        case Kind::ComboBox: {
            auto* combo = qobject_cast<QComboBox*>(widget);
            QTest::keyClicks(combo->lineEdit(), "7");
            EXPECT_EQ(control->text(), "Shown 17") << row.name;
            const auto& list = static_cast<ComboControl*>(control);
            const int before = list->selectedIndex();
            QTest::keyClick(combo, Qt::Key_Down);
            EXPECT_EQ(list->selectedIndex(), before + 1) << row.name;
            EXPECT_EQ(control->text(), list->items().at(static_cast<std::size_t>(before + 1))) << row.name;
            EXPECT_EQ(combo->count(), static_cast<int>(list->items().size())) << row.name; // nothing typed was added
            break;
        }
        case Kind::CheckBox: {
            const bool before = control->checked();
            QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(6, widget->height() / 2));
            EXPECT_EQ(control->checked(), !before) << row.name;
            EXPECT_EQ(qobject_cast<QCheckBox*>(widget)->isChecked(), !before) << row.name;
            break;
        }
        case Kind::Button:
        case Kind::Link:
            QTest::mouseClick(widget, Qt::LeftButton);
            break;
        case Kind::Label:
        case Kind::Frame:
            break;
        }
        if (main && (row.kind == Kind::Button || row.kind == Kind::Link)) {
            EXPECT_EQ(clicks, 1) << row.name;
        }
        if (!main && (row.kind == Kind::Dialog || row.kind == Kind::Button || row.kind == Kind::Link)) {
            ASSERT_TRUE(seen.contains(row.name)) << row.name;
            EXPECT_TRUE(seen.at(row.name)(rig)) << row.name;
        }
    }
}

} // namespace
} // namespace wardel::qt
