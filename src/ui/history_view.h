#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "app/history_window.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace wardel::qt {

// The chart of connect times: the mean per bucket as a line over the band from least to greatest, and each
// bucket with failed probes as a red band, deeper the larger its share of failures. Drawn with QPainter in
// the palette's own colours, so it reads on a light and a dark desktop alike.
class HistoryChart : public QWidget {
public:
    explicit HistoryChart(QWidget* parent = nullptr);
    void showFigures(const HistoryWindow& model);
    QSize sizeHint() const override { return {640, 220}; }
    QSize minimumSizeHint() const override { return {320, 140}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<HistoryStore::Figures> figures_;
    std::int64_t fromMs_ = 0;
    std::int64_t toMs_ = 1;
    std::int64_t bucketMs_ = 1;
};

// The History window of one target: uptime over 24 hours, 7 days and 30 days, the chart with its three span
// buttons, and the outages, newest first. Escape closes it, like Close; Tab goes from button to chart to
// the outage list and on.
class HistoryView : public QWidget {
public:
    HistoryView(std::unique_ptr<HistoryWindow> model, QWidget* parent);
    HistoryWindow& model() { return *model_; }
    // Reads the history again and shows it.
    void refresh();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showModel();
    void choose(HistoryWindow::Span span);

    std::unique_ptr<HistoryWindow> model_;
    QLabel* uptime_[3] = {};
    QPushButton* spans_[3] = {};
    HistoryChart* chart_ = nullptr;
    QTreeWidget* outages_ = nullptr;
};

} // namespace wardel::qt
