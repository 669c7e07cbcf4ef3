// How long the operator waits for the main window: from the moment the program is started (a fresh process)
// to the window's first paint, once with an empty host table and once with the largest host.ini (32,767
// entries). The child is this program again, put together the way the real program is, on the real Qt seams
// and widgets, in a folder of its own with file logging on and alerts off, so it sends nothing anywhere.
// The two starts take turns, round by round, so that what else the machine does meets both alike; prints
// each, and the ratio of each round's pair, as the median of the rounds with the least and the most.
//
// Usage: startup_bench [rounds]   (default 7)

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/sms_port.h"
#include "hosts/host_list_file.h"
#include "spread.h"
#include "ui/app_icon.h"
#include "ui/qt_program.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

std::int64_t monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Notes the first paint of the window it watches.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(std::function<void()> onPaint) : onPaint_(std::move(onPaint)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && onPaint_) {
            auto once = std::move(onPaint_);
            onPaint_ = nullptr;
            once();
        }
        return false;
    }

private:
    std::function<void()> onPaint_;
};

// The program as src/main.cpp puts it together, with the folder given instead of the executable's.
int runChild(int argc, char** argv, const fs::path& folder, std::int64_t startedNs) {
    using namespace wardel;
    using namespace wardel::qt;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wardel"));
    QApplication::setWindowIcon(wardelIcon());
    QApplication::setQuitOnLastWindowClosed(false);

    QtProgram program(folder);
    SMSPort& port = program.port();
    MainWindow& window = program.window();

    FirstPaint watcher([&] {
        std::printf("%.3f\n", static_cast<double>(monotonicNs() - startedNs) / 1e6);
        std::fflush(stdout);
        QTimer::singleShot(0, [&port] { port.Form_Unload(); });
    });
    window.installEventFilter(&watcher);

    port.Form_Load();
    return port.ended() ? 0 : QApplication::exec();
}

void writeText(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

// One start: the child prints its milliseconds from the spawn to the first paint.
double startOnce(const std::string& self, const fs::path& folder) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        std::exit(1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    const std::string started = std::to_string(monotonicNs());
    const std::string folderText = folder.string();
    std::vector<char*> args{const_cast<char*>(self.c_str()), const_cast<char*>("--child"),
                            const_cast<char*>(folderText.c_str()), const_cast<char*>(started.c_str()), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, self.c_str(), &actions, nullptr, args.data(), environ) != 0)
        std::exit(1);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    std::string out;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return out.empty() ? -1.0 : std::atof(out.c_str());
}

// Each start gets a fresh folder: the settings (file logging on, alerts and start-on-launch off) and the host
// list, if any.
double timedStart(const std::string& self, const fs::path& folder, const std::string& hosts) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    writeText(folder / "setting.ini", "60\r\n30\r\n0\r\n\r\n\r\n\r\n0\r\n1\r\n\r\n\r\n0\r\n60\r\n\r\n720\r\n\r\n");
    if (!hosts.empty())
        writeText(folder / wardel::kHostListFileName, hosts);
    return startOnce(self, folder);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--child")
        return runChild(argc, argv, argv[2], std::atoll(argv[3]));

    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::string self = fs::canonical("/proc/self/exe").string();
    const fs::path base = fs::temp_directory_path() / ("wardel-startup-" + std::to_string(::getpid()));

    std::string hosts;
    for (int i = 1; i <= wardel::kMaxHostListEntries; ++i) {
        const std::string n = std::to_string(i);
        hosts += "\"host-" + n + ".branch.example.net\",\"" + std::to_string(1 + i % 65535) + "\",\"Service " + n +
                 "\",\"5\"\r\n";
    }
    std::vector<double> empty;
    std::vector<double> full;
    for (int i = 0; i < rounds; ++i) {
        empty.push_back(timedStart(self, base / "empty", {}));
        full.push_back(timedStart(self, base / "full", hosts));
    }
    fs::remove_all(base);

    using namespace wardel::bench;
    std::printf("startup_bench: from the start of the process to the window's first paint, median (least .. most) "
                "of %d rounds\n",
                rounds);
    report("start-up, empty table", spreadOf(empty), "ms", 36);
    report("start-up, 32,767 targets", spreadOf(full), "ms", 36);
    report("start-up ratio, 32,767 targets / empty", spreadOf(ratios(full, empty)), "ratio", 36, "%.2f");
    return 0;
}
