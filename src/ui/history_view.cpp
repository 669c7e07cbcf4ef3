#include "ui/history_view.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "common/time_format.h"

namespace wardel::qt {

namespace {

constexpr int kMargin = 8;
const QColor kFailure(220, 30, 30);

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// A scale's top: 1, 2 or 5 times a power of ten, at least `value`.
int niceTop(int value) {
    int step = 1;
    for (;;) {
        for (const int factor : {1, 2, 5})
            if (step * factor >= value)
                return step * factor;
        step *= 10;
    }
}

} // namespace

HistoryChart::HistoryChart(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Connect times"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void HistoryChart::showFigures(const HistoryWindow& model) {
    figures_ = model.chart();
    fromMs_ = model.chartFromMs();
    toMs_ = std::max(model.chartToMs(), fromMs_ + 1);
    bucketMs_ = model.bucketMs();
    setAccessibleDescription(text(model.chartSummary()));
    update();
}

void HistoryChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& colours = palette();
    p.fillRect(rect(), colours.color(QPalette::Base));
    const QFontMetrics metrics = fontMetrics();
    const int labelWidth = metrics.horizontalAdvance(QStringLiteral("00000 ms")) + kMargin;
    const QRect plot = rect().adjusted(labelWidth, kMargin, -kMargin, -(metrics.height() + kMargin));
    int top = 1;
    for (const auto& f : figures_)
        top = std::max(top, f.greatestMs);
    top = niceTop(top);
    const auto x = [&](std::int64_t ms) {
        return plot.left() + static_cast<int>((ms - fromMs_) * plot.width() / (toMs_ - fromMs_));
    };
    const auto y = [&](int ms) { return plot.bottom() - ms * plot.height() / top; };

    for (const auto& f : figures_) {
        if (f.failures == 0 || f.probes == 0)
            continue;
        QColor band = kFailure;
        band.setAlpha(60 + static_cast<int>(150 * f.failures / f.probes));
        const int left = std::max(plot.left(), x(f.startMs));
        p.fillRect(QRect(QPoint(left, plot.top()), QPoint(std::max(left + 1, x(f.startMs + bucketMs_)), plot.bottom())),
                   band);
    }
    QColor range = colours.color(QPalette::Highlight);
    range.setAlpha(70);
    // The mean's line breaks where buckets without an answer lie between, and each mean is marked.
    QPainterPath line;
    std::int64_t previous = fromMs_ - 2 * bucketMs_;
    for (const auto& f : figures_) {
        if (f.meanMs < 0)
            continue;
        const int left = std::max(plot.left(), x(f.startMs));
        const int right = std::max(left + 1, x(f.startMs + bucketMs_));
        p.fillRect(QRect(QPoint(left, y(f.greatestMs)), QPoint(right, y(f.leastMs))), range);
        const QPointF at((left + right) / 2.0, y(f.meanMs));
        if (f.startMs - previous > bucketMs_)
            line.moveTo(at);
        else
            line.lineTo(at);
        line.addEllipse(at, 1.5, 1.5);
        line.moveTo(at);
        previous = f.startMs;
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colours.color(QPalette::Highlight), 2));
    p.drawPath(line);
    p.setRenderHint(QPainter::Antialiasing, false);

    p.setPen(colours.color(QPalette::Text));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    const QRect left(0, plot.top(), labelWidth - kMargin / 2, metrics.height());
    p.drawText(left, Qt::AlignRight | Qt::AlignTop, QStringLiteral("%1 ms").arg(top));
    p.drawText(left.translated(0, plot.height() - metrics.height()), Qt::AlignRight | Qt::AlignBottom,
               QStringLiteral("0 ms"));
    const QRect under(plot.left(), plot.bottom() + 2, plot.width(), metrics.height());
    p.drawText(under, Qt::AlignLeft, text(formatDateTime(localTime(fromMs_))));
    p.drawText(under, Qt::AlignRight, text(formatDateTime(localTime(toMs_))));
    if (figures_.empty())
        p.drawText(plot, Qt::AlignCenter, QStringLiteral("No probes in this span"));
    if (hasFocus()) {
        p.setPen(QPen(colours.color(QPalette::Highlight), 1, Qt::DotLine));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

HistoryView::HistoryView(std::unique_ptr<HistoryWindow> model, QWidget* parent)
    : QWidget(parent, Qt::Window), model_(std::move(model)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(text(model_->title()));
    setAccessibleName(windowTitle());

    auto* figures = new QFormLayout;
    const char* const names[] = {"Uptime 24 hours", "Uptime 7 days", "Uptime 30 days"};
    const char* const captions[] = {"Uptime &24 h:", "Uptime &7 d:", "Uptime &30 d:"};
    for (int i = 0; i < 3; ++i) {
        uptime_[i] = new QLabel(this);
        uptime_[i]->setAccessibleName(QString::fromLatin1(names[i]));
        // A stop of the Tab key each, so that a screen reader's user meets the figures on the way.
        uptime_[i]->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        uptime_[i]->setFocusPolicy(Qt::TabFocus);
        auto* caption = new QLabel(QString::fromLatin1(captions[i]), this);
        caption->setBuddy(uptime_[i]);
        figures->addRow(caption, uptime_[i]);
    }

    auto* spanRow = new QHBoxLayout;
    auto* group = new QButtonGroup(this);
    const char* const spanCaptions[] = {"24 &hours", "7 &days", "30 da&ys"};
    for (int i = 0; i < 3; ++i) {
        spans_[i] = new QPushButton(QString::fromLatin1(spanCaptions[i]), this);
        spans_[i]->setCheckable(true);
        spans_[i]->setAccessibleName(QStringLiteral("Chart of ") + QString::fromLatin1(spanCaptions[i]).remove('&'));
        group->addButton(spans_[i], i);
        spanRow->addWidget(spans_[i]);
        connect(spans_[i], &QPushButton::clicked, this, [this, i] { choose(static_cast<HistoryWindow::Span>(i)); });
    }
    spanRow->addStretch();
    chart_ = new HistoryChart(this);

    outages_ = new QTreeWidget(this);
    outages_->setAccessibleName(QStringLiteral("Outages"));
    outages_->setRootIsDecorated(false);
    outages_->setUniformRowHeights(true);
    outages_->setHeaderLabels({QStringLiteral("Began"), QStringLiteral("Ended"), QStringLiteral("Duration"),
                               QStringLiteral("Reason"), QStringLiteral("Alert")});
    outages_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* outagesCaption = new QLabel(QStringLiteral("&Outages, newest first:"), this);
    outagesCaption->setBuddy(outages_);

    auto* buttons = new QHBoxLayout;
    auto* refresh = new QPushButton(QStringLiteral("&Refresh"), this);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    connect(refresh, &QPushButton::clicked, this, &HistoryView::refresh);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addStretch();
    buttons->addWidget(refresh);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(figures);
    layout->addLayout(spanRow);
    layout->addWidget(chart_, 2);
    layout->addWidget(outagesCaption);
    layout->addWidget(outages_, 1);
    layout->addLayout(buttons);
    showModel();
    spans_[0]->setFocus();
}

void HistoryView::refresh() {
    model_->refresh();
    showModel();
}

void HistoryView::choose(HistoryWindow::Span span) {
    model_->chooseSpan(span);
    showModel();
}

void HistoryView::showModel() {
    const HistoryWindow& m = *model_;
    const std::string* uptimes[] = {&m.uptimeDay(), &m.uptimeWeek(), &m.uptimeMonth()};
    for (int i = 0; i < 3; ++i)
        uptime_[i]->setText(text(*uptimes[i]));
    spans_[static_cast<int>(m.span())]->setChecked(true);
    chart_->showFigures(m);
    outages_->clear();
    QList<QTreeWidgetItem*> items;
    for (const HistoryWindow::OutageLine& o : m.outages())
        items.append(new QTreeWidgetItem(
            QStringList{text(o.began), text(o.ended), text(o.duration), text(o.reason), text(o.alert)}));
    outages_->addTopLevelItems(items);
    if (!items.isEmpty())
        outages_->setCurrentItem(items.front());
}

void HistoryView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace wardel::qt
