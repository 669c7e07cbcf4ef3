#include "ui/link_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace wardel::qt {

namespace {

// A keyboard link as a screen reader hears it: a link named by its text, opened by its press action.
class LinkAccessible : public QAccessibleWidget {
public:
    explicit LinkAccessible(LinkLabel* link) : QAccessibleWidget(link, QAccessible::Link) {}

    LinkLabel* link() const { return static_cast<LinkLabel*>(widget()); }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && link()->accessibleName().isEmpty())
            return link()->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override {
        if (action == pressAction())
            link()->open();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* linkFactory(const QString& className, QObject* object) {
    // LinkLabel has no meta-object of its own: it is asked for as a QLabel.
    auto* link = className == QLatin1String("QLabel") ? dynamic_cast<LinkLabel*>(object) : nullptr;
    return link && link->isKeyboardLink() ? new LinkAccessible(link) : nullptr;
}

} // namespace

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {
    static const bool installed = (QAccessible::installFactory(linkFactory), true);
    (void)installed;
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
    const bool opens = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space;
    if (!isKeyboardLink() || !opens || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QLabel::keyPressEvent(event);
        return;
    }
    open();
}

void LinkLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // A label draws no focus of its own; the keyboard operator sees where Enter goes.
    QStylePainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.backgroundColor = palette().color(backgroundRole());
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
}

} // namespace wardel::qt
