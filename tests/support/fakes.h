#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/desktop_notifier.h"
#include "platform/message_box.h"
#include "platform/probe_socket.h"
#include "platform/shell.h"
#include "platform/tray_icon.h"
#include "platform/url_fetcher.h"
#include "platform/window_port.h"
#include "support/fake_scheduler.h"

namespace wardel::test {

// The probe socket under the test's hand: connectTo records the target and enters `stateOnConnect`;
// the test then moves the state with setState, which notifies like the real socket does. Queued on a
// scheduler, a notice is posted to its event queue, as Qt delivers it, and one from before the latest
// connectTo or close is dropped.
class FakeSocket : public ProbeSocket {
public:
    struct Attempt {
        std::string host;
        std::int32_t port;
    };
    void queueOn(FakeScheduler& scheduler) { queue_ = &scheduler; }
    void connectTo(const std::string& host, std::int32_t port) override {
        ++attempt_;
        attempts.push_back({host, port});
        state_ = stateOnConnect;
        if (onConnect)
            onConnect(host, port);
    }
    void close() override {
        ++attempt_;
        ++closes;
        state_ = Closed;
    }
    int state() const override { return state_; }
    Answer answer() const override { return answerGiven; }
    void setState(int state) {
        state_ = state;
        if (!queue_) {
            stateChanged();
            return;
        }
        queue_->post([this, attempt = attempt_] {
            if (attempt == attempt_)
                stateChanged();
        });
    }

    int stateOnConnect = Connecting;
    Answer answerGiven; // what answer() tells of the latest attempt
    std::function<void(const std::string&, std::int32_t)> onConnect;
    std::vector<Attempt> attempts;
    int closes = 0;

private:
    int state_ = Closed;
    FakeScheduler* queue_ = nullptr;
    int attempt_ = 0;
};

// Records every fetch; the test ends them with finish(). Queued on a scheduler, the completion is posted to
// its event queue, as Qt delivers it.
class FakeUrlFetcher : public UrlFetcher {
public:
    void queueOn(FakeScheduler& scheduler) { queue_ = &scheduler; }
    struct Request {
        std::string name;
        std::string url;
        std::string json; // a post's body
    };
    bool start(const std::string& name, const std::string& url) override { return post(name, url, {}); }
    bool post(const std::string& name, const std::string& url, const std::string& json) override {
        requests.push_back({name, url, json});
        if (onStart)
            onStart(requests.back());
        return !refuse;
    }
    void finish(const std::string& name, bool ok, const std::string& body) {
        if (queue_)
            queue_->post([this, result = FetchResult{name, ok, body}] { complete(result); });
        else
            complete(FetchResult{name, ok, body});
    }
    std::vector<Request> requests;
    std::function<void(const Request&)> onStart;
    bool refuse = false; // every request fails before it leaves

private:
    FakeScheduler* queue_ = nullptr;
};

// Records every box; the test closes them one at a time, oldest first, as the operator would.
class FakeMessageBox : public MessageBox {
public:
    void show(const std::string& text, std::function<void()> onOk) override {
        shown.push_back(text);
        pending.push_back(std::move(onOk));
    }
    // Clicks OK on the oldest open box; false when none is open.
    bool clickOk() {
        if (pending.empty())
            return false;
        auto onOk = std::move(pending.front());
        pending.pop_front();
        if (onOk)
            onOk();
        return true;
    }
    std::vector<std::string> shown;
    std::deque<std::function<void()>> pending;
};

class FakeTray : public TrayIcon {
public:
    bool available() const override { return isAvailable; }
    void add(const std::string& tip) override {
        added = true;
        this->tip = tip;
    }
    void remove() override { added = false; }
    void showState(State shown) override { states.push_back(shown); }
    void doubleClick() { doubleClicked(); }

    bool isAvailable = true;
    bool added = false;
    std::string tip;
    std::vector<State> states; // every picture shown, in order
};

// Records every desktop notification.
class FakeNotifier : public DesktopNotifier {
public:
    struct Notice {
        std::string summary;
        std::string body;
        Urgency urgency;
        std::string tag;
    };
    void notify(const std::string& summary, const std::string& body, Urgency urgency, const std::string& tag) override {
        notices.push_back({summary, body, urgency, tag});
    }
    std::vector<Notice> notices;
};

class FakeShell : public Shell {
public:
    bool openFile(const std::string& path) override {
        openedFiles.push_back(path);
        return true;
    }
    bool openUrl(const std::string& url) override {
        openedUrls.push_back(url);
        return true;
    }
    void chooseExistingFile(const std::string& folder, const std::string& filter,
                            std::function<void(const std::string&)> onChosen) override {
        dialogFolder = folder;
        dialogFilter = filter;
        onFileChosen = std::move(onChosen);
    }
    std::vector<std::string> openedFiles;
    std::vector<std::string> openedUrls;
    std::string dialogFolder;
    std::string dialogFilter;
    std::function<void(const std::string&)> onFileChosen;
};

// Records what was done to the window, in order.
class FakeWindow : public WindowPort {
public:
    void show() override {
        isVisible = true;
        calls.push_back("show");
    }
    void hide() override {
        isVisible = false;
        calls.push_back("hide");
    }
    bool visible() const override { return isVisible; }
    void setNormalState() override { calls.push_back("normal"); }
    void bringToFront() override { calls.push_back("front"); }
    void center() override { calls.push_back("center"); }
    void endProgram() override {
        ended = true;
        calls.push_back("end");
    }
    bool isVisible = false;
    bool ended = false;
    std::vector<std::string> calls;
};

} // namespace wardel::test
