// Host list with the largest table the file holds (32,767 entries): how long loading host.ini, saving it and
// showing it in the grid take, and how quickly the full grid takes a status write, an Add and a Delete; and
// how long a click takes on a row with one very long cell. The Add and the Delete are also counted in CPU time,
// and a fresh process of this program (--memory) reads its private memory with the full table shown, before
// and after the Add.
// Prints each figure as the median of the rounds with the least and the most; the goals are well under half a
// second for each of load, save and show, at most 4 ms of CPU for the Add and the Delete, and at most 12 MiB
// of private memory before and after the Add.
//
// Usage: host_list_bench [rounds]   (default 7)

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/main_controls.h"
#include "hosts/host_editor.h"
#include "hosts/host_list_file.h"
#include "platform/qt/qt_clock.h"
#include "spread.h"
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

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// What this process alone holds: private dirty memory from /proc/self/smaps_rollup, in MiB.
double privateMiB() {
    std::ifstream rollup("/proc/self/smaps_rollup");
    std::string key;
    double kib = 0;
    while (rollup >> key) {
        if (key == "Private_Dirty:") {
            rollup >> kib;
            break;
        }
        rollup.ignore(256, '\n');
    }
    return kib / 1024;
}

// One start-up's worth: a fresh grid in its window, the file loaded into it, the window painted.
struct Round {
    double load = 0, show = 0, save = 0, statusWrites = 0, add = 0, deleteFirst = 0, loadAlone = 0, newView = 0,
           longCellClick = 0, addCpu = 0, deleteCpu = 0, privateBefore = 0, privateAfter = 0;
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

// The 32,768th entry: the grid takes it, the save is refused.
void addOne(Seams& ctx) {
    ctx.controls.txtIpAddress.setText("10.0.0.5");
    ctx.controls.cbxPortSel.setText("WWW   (80)");
    ctx.controls.num_Timeout.setText("5");
    ctx.hosts.cmdAdd_Click();
    QApplication::processEvents();
}

// In a fresh process: the full table loaded and shown, its private memory, then an Add and the memory again.
int memoryChild(const fs::path& folder) {
    Seams ctx(folder);
    qt::HostTableModel model(ctx.grid);
    qt::HostGridView view;
    showGrid(ctx.grid, model, view);
    ctx.hosts.LoadHostList();
    QApplication::processEvents();
    view.grab();
    const double before = privateMiB();
    addOne(ctx);
    view.grab();
    std::printf("%.2f %.2f\n", before, privateMiB());
    return 0;
}

void measureMemory(const fs::path& folder, Round& r) {
    std::string command = "'";
    command += fs::canonical("/proc/self/exe").string();
    command += "' --memory '";
    command += folder.string();
    command += "'";
    if (std::FILE* child = popen(command.c_str(), "r")) {
        if (std::fscanf(child, "%lf %lf", &r.privateBefore, &r.privateAfter) != 2)
            std::fprintf(stderr, "the memory child printed no figures\n");
        pclose(child);
    }
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
    double cpu = threadCpuMs();
    addOne(ctx);
    r.add = msSince(t);
    r.addCpu = threadCpuMs() - cpu;

    t.restart();
    cpu = threadCpuMs();
    hosts.grdHotGrid_Click(1);
    hosts.cmdDelete_Click(); // back to 32,767: saved again
    QApplication::processEvents();
    view.grab();
    r.deleteFirst = msSince(t);
    r.deleteCpu = threadCpuMs() - cpu;
    if (ctx.boxes.shown.size() != 1)
        std::fprintf(stderr, "expected exactly one refused save, saw %zu message boxes\n", ctx.boxes.shown.size());
    return r;
}

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    if (argc == 3 && std::string(argv[1]) == "--memory")
        return memoryChild(argv[2]);

    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const fs::path folder = fs::temp_directory_path() / ("wardel-host-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const std::string text = fullHostList();
    {
        std::ofstream out(folder / "host.ini", std::ios::binary);
        out << text;
    }

    std::vector<Round> taken;
    for (int i = 0; i < rounds; ++i) {
        Round r = runOnce(folder);
        loadThenShow(folder, r);
        r.longCellClick = clickOnLongCell(folder);
        measureMemory(folder, r);
        taken.push_back(r);
    }
    fs::remove_all(folder);

    const auto spread = [&taken](double Round::*figure) {
        std::vector<double> takes;
        for (const Round& r : taken)
            takes.push_back(r.*figure);
        return bench::spreadOf(takes);
    };
    std::printf("host list: %d entries, %.1f MB host.ini, median (least .. most) of %d rounds\n", kMaxHostListEntries,
                static_cast<double>(text.size()) / 1e6, rounds);
    bench::report("load host.ini into the shown grid", spread(&Round::load), "ms", 50);
    bench::report("repaint the grid after the load", spread(&Round::show), "ms", 50);
    bench::report("load host.ini, no view yet", spread(&Round::loadAlone), "ms", 50);
    bench::report("then open, show and paint a view", spread(&Round::newView), "ms", 50);
    bench::report("save host.ini", spread(&Round::save), "ms", 50);
    bench::report("21 status writes + repaint", spread(&Round::statusWrites), "ms", 50);
    bench::report("Add to the full grid (save refused)", spread(&Round::add), "ms", 50);
    bench::report("Add to the full grid, CPU (goal at most 4)", spread(&Round::addCpu), "ms", 50);
    bench::report("Delete row 1 + save + repaint", spread(&Round::deleteFirst), "ms", 50);
    bench::report("Delete row 1 + save, CPU (goal at most 4)", spread(&Round::deleteCpu), "ms", 50);
    bench::report("click on a row with a 10 MB cell", spread(&Round::longCellClick), "ms", 50);
    bench::report("private memory, full grid shown (goal at most 12)", spread(&Round::privateBefore), "MiB", 50,
                  "%.2f");
    bench::report("private memory after the Add (goal at most 12)", spread(&Round::privateAfter), "MiB", 50, "%.2f");
    return 0;
}
