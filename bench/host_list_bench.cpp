// Host list with the largest table the file holds (32,767 entries): how long loading host.ini, saving it and
// showing it in the grid take, and how quickly the full grid takes a status write, an Add and a Delete; and
// how long a click takes on a row with one very long cell.
// Prints the figures; the goal is well under half a second for each of load, save and show.

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/main_controls.h"
#include "hosts/host_editor.h"
#include "hosts/host_list_file.h"
#include "platform/qt/qt_clock.h"
#include "support/fakes.h"
#include "ui/host_grid_view.h"
#include "ui/host_table_model.h"

namespace {

using namespace wardel;
namespace fs = std::filesystem;

// Seams the host list never touches, or only to report a failure the bench then prints: the tests' fakes.
// The host entry commands with the records they use, as the main window has them.
struct Seams {
    explicit Seams(const fs::path& folder)
        : log(clock, settings, logBox, folder), hosts(entry(), grid, boxes, log, folder / kHostListFileName) {}
    HostEditor::EntryControls entry() {
        return {controls.txtIpAddress, controls.cbxPortSel, controls.Description, controls.num_Timeout};
    }

    qt::QtClock clock;
    test::FakeMessageBox boxes;
    AppSettings settings;
    MainControls controls;
    HostTable grid;
    LogBox logBox;
    EventLog log;
    HostEditor hosts;
};

std::string fullHostList() {
    std::string text;
    for (int i = 1; i <= kMaxHostListEntries; ++i) {
        const std::string n = std::to_string(i);
        text += "\"host-" + n + ".branch.example.net\",\"" + std::to_string(1 + i % 65535) + "\",\"Service " + n +
                ", rack " + std::to_string(i % 40) + "\",\"5\"\r\n";
    }
    return text;
}

double msSince(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One start-up's worth: a fresh grid in its window, the file loaded into it, the window painted.
struct Round {
    double load = 0, show = 0, save = 0, statusWrites = 0, add = 0, deleteFirst = 0, loadAlone = 0, newView = 0,
           longCellClick = 0;
};

// The other order: the file loaded into a grid nobody shows yet, then a view opened on it.
// The grid as the main window shows it, laid out and on screen.
void showGrid(HostTable& grid, qt::HostTableModel& model, qt::HostGridView& view) {
    view.resize(540, 235);
    view.follow(&grid, &model);
    view.show();
    QApplication::processEvents();
}

void loadThenShow(const fs::path& folder, Round& r) {
    Seams ctx(folder);
    HostEditor& hosts = ctx.hosts;
    QElapsedTimer t;
    t.start();
    hosts.LoadHostList();
    r.loadAlone = msSince(t);

    t.restart();
    qt::HostTableModel model(ctx.grid);
    qt::HostGridView view;
    showGrid(ctx.grid, model, view);
    view.grab();
    r.newView = msSince(t);
}

// A click on a row whose description holds 10 MB, as a hand-edited host.ini may: the press and release as the
// window gets them, the selection and the repaint.
double clickOnLongCell(const fs::path& folder) {
    Seams ctx(folder);
    HostEditor& hosts = ctx.hosts;
    ctx.grid.setCell(1, HostTable::colHost, "10.0.0.1");
    const int row = ctx.grid.appendRow();
    ctx.grid.setCell(row, HostTable::colHost, "10.0.0.2");
    ctx.grid.setCell(row, HostTable::colDescription, std::string(10'000'000, 'x'));
    qt::HostTableModel model(ctx.grid);
    qt::HostGridView view;
    view.setClickHandler([&hosts](int clicked) { hosts.grdHotGrid_Click(clicked); });
    showGrid(ctx.grid, model, view);
    view.grab();

    const QPoint at =
        view.visualRect(model.index(qt::HostTableModel::viewRow(row), HostTable::colDescription)).center();
    QElapsedTimer t;
    t.start();
    for (const bool press : {true, false}) {
        QMouseEvent event(press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, at,
                          view.viewport()->mapToGlobal(at), Qt::LeftButton, press ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &event);
    }
    QApplication::processEvents();
    view.grab();
    const double ms = msSince(t);
    if (ctx.grid.currentRow() != row)
        std::fprintf(stderr, "the click on the long cell selected row %d\n", ctx.grid.currentRow());
    return ms;
}

Round runOnce(const fs::path& folder) {
    Seams ctx(folder);
    HostEditor& hosts = ctx.hosts;
    qt::HostTableModel model(ctx.grid);
    qt::HostGridView view;
    showGrid(ctx.grid, model, view);
    Round r;

    QElapsedTimer t;
    t.start();
    hosts.LoadHostList();
    r.load = msSince(t);
    if (ctx.grid.rowCount() - 1 != kMaxHostListEntries)
        std::fprintf(stderr, "loaded %d entries\n", ctx.grid.rowCount() - 1);

    t.restart();
    QApplication::processEvents();
    view.grab();
    r.show = msSince(t);

    t.restart();
    hosts.SaveHostList();
    r.save = msSince(t);

    // A monitoring cycle's worth of status writes on rows the operator may have scrolled to.
    view.scrollToBottom();
    QApplication::processEvents();
    t.restart();
    for (int row = ctx.grid.lastRow() - 20; row <= ctx.grid.lastRow(); ++row)
        ctx.grid.setCell(row, HostTable::colLastStatus, "ALIVE(07:05:09)");
    QApplication::processEvents();
    view.grab();
    r.statusWrites = msSince(t);

    t.restart();
    ctx.controls.txtIpAddress.setText("10.0.0.5");
    ctx.controls.cbxPortSel.setText("WWW   (80)");
    ctx.controls.num_Timeout.setText("5");
    hosts.cmdAdd_Click(); // the 32,768th entry: the grid takes it, the save is refused
    QApplication::processEvents();
    r.add = msSince(t);

    t.restart();
    hosts.grdHotGrid_Click(1);
    hosts.cmdDelete_Click(); // back to 32,767: saved again
    QApplication::processEvents();
    view.grab();
    r.deleteFirst = msSince(t);
    if (ctx.boxes.shown.size() != 1)
        std::fprintf(stderr, "expected exactly one refused save, saw %zu message boxes\n", ctx.boxes.shown.size());
    return r;
}

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    const fs::path folder = fs::temp_directory_path() / ("wardel-host-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const std::string text = fullHostList();
    {
        std::ofstream out(folder / "host.ini", std::ios::binary);
        out << text;
    }

    constexpr int kRounds = 5;
    std::vector<double> load, show, save, status, add, del, loadAlone, newView, longCellClick;
    for (int i = 0; i < kRounds; ++i) {
        Round r = runOnce(folder);
        loadThenShow(folder, r);
        r.longCellClick = clickOnLongCell(folder);
        longCellClick.push_back(r.longCellClick);
        loadAlone.push_back(r.loadAlone);
        newView.push_back(r.newView);
        load.push_back(r.load);
        show.push_back(r.show);
        save.push_back(r.save);
        status.push_back(r.statusWrites);
        add.push_back(r.add);
        del.push_back(r.deleteFirst);
    }
    fs::remove_all(folder);

    std::printf("host list: %d entries, %.1f MB host.ini, median of %d rounds (ms)\n", kMaxHostListEntries,
                static_cast<double>(text.size()) / 1e6, kRounds);
    std::printf("  load host.ini into the shown grid    %8.1f\n", median(load));
    std::printf("  repaint the grid after the load      %8.1f\n", median(show));
    std::printf("  load host.ini, no view yet           %8.1f\n", median(loadAlone));
    std::printf("  then open, show and paint a view     %8.1f\n", median(newView));
    std::printf("  save host.ini                        %8.1f\n", median(save));
    std::printf("  21 status writes + repaint           %8.1f\n", median(status));
    std::printf("  Add to the full grid (save refused)  %8.1f\n", median(add));
    std::printf("  Delete row 1 + save + repaint        %8.1f\n", median(del));
    std::printf("  click on a row with a 10 MB cell     %8.1f\n", median(longCellClick));
    return 0;
}
