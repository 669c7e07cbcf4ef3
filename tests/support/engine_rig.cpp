#include "support/engine_rig.h"

#include "support/query_values.h"

namespace wardel::test {

EngineRig::EngineRig(LocalDateTime start) : TestRig(start) {
    settings.alertEnabled = 1;
    settings.smsEmail = "ops@example.com";
    settings.smsPassword = "s3cret";
    settings.smsPhone = "441111111111";
    settings.maxSms = "32767";
    port.gateway().state().gatewayLoggedIn = true;
    port.gateway().state().creditText = "100";
    mainReader.onStart = [this](const FakeUrlFetcher::Request& request) {
        note("sms " + queryValue(request.url, "text"));
    };
    gridChanges_ = grid.observe(*this);
    logLines_ = logBox.observe(*this);
    const Control* watched[] = {&controls.cmdMonitor, &controls.cmdAdd, &controls.Label2};
    for (const Control* control : watched)
        controls_[control->name()] = {control->text(), control->enabled(), control->visible()};
    controlChanges_ = controls.board.subscribe([this](const Control& control) { controlChanged(control); });
    socket.onConnect = [this](const std::string& host, std::int32_t port) {
        note("connect " + host + ":" + std::to_string(port));
        const auto found = answers_.find(host);
        if (found != answers_.end())
            socket.setState(found->second);
    };
    alerts.onCall = [this](const RecordingAlertSink::Call& call) {
        note("alert " + call.kind + " " + call.message + "|" + call.description);
    };
}

EngineRig::~EngineRig() = default;

int EngineRig::addTarget(const std::string& host, const std::string& port, const std::string& description,
                         const std::string& limit) {
    const int row = grid.isEmpty() ? 1 : grid.appendRow();
    grid.setCell(row, HostTable::colHost, host);
    grid.setCell(row, HostTable::colPort, port);
    grid.setCell(row, HostTable::colDescription, description);
    grid.setCell(row, HostTable::colTimeoutLimit, limit);
    grid.setCell(row, HostTable::colCount, "0");
    journal_.clear();
    return row;
}

void EngineRig::note(const std::string& what) {
    journal_.push_back("t=" + std::to_string(scheduler.elapsedMs()) + " " + what);
}

std::vector<std::string> EngineRig::journal(const std::string& prefix) const {
    std::vector<std::string> picked;
    for (const std::string& entry : journal_) {
        const auto what = entry.substr(entry.find(' ') + 1);
        if (what.rfind(prefix, 0) == 0)
            picked.push_back(entry);
    }
    return picked;
}

std::vector<std::string> EngineRig::hostsConnected() const {
    std::vector<std::string> hosts;
    for (const auto& attempt : socket.attempts)
        hosts.push_back(attempt.host);
    return hosts;
}

void EngineRig::runCycles(int cycles) {
    const int target = cyclesEnded_ + cycles;
    for (int second = 0; second < 100000 && cyclesEnded_ < target; ++second)
        scheduler.advance(1000);
}

void EngineRig::controlChanged(const Control& control) {
    if (&control == &controls.Label2 && control.text().rfind("Current status : now ", 0) == 0)
        ++cyclesEnded_;
    auto found = controls_.find(control.name());
    if (found == controls_.end())
        return;
    Seen& seen = found->second;
    if (seen.text != control.text())
        note(control.name() + ".text=" + control.text());
    if (seen.enabled != control.enabled())
        note(control.name() + ".enabled=" + (control.enabled() ? "1" : "0"));
    if (seen.visible != control.visible())
        note(control.name() + ".visible=" + (control.visible() ? "1" : "0"));
    seen = {control.text(), control.enabled(), control.visible()};
}

void EngineRig::cellChanged(int row, int column) {
    note("cell " + std::to_string(row) + "," + std::to_string(column) + "=" + grid.cell(row, column));
}

void EngineRig::rowsRemoved(int first, int last) {
    note("removed " + std::to_string(first) + "-" + std::to_string(last));
}

void EngineRig::enabledChanged() {
    note(std::string("grid.enabled=") + (grid.enabled() ? "1" : "0"));
}

void EngineRig::linePrepended(const std::string& line) {
    // The line is "yyyy-mm-dd hh:mm:ss - message"; the journal has the time already.
    const auto dash = line.find(" - ");
    note("log " + (dash == std::string::npos ? line : line.substr(dash + 3)));
}

} // namespace wardel::test
