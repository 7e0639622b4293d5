// The start's decision (hand over or be the frame) and the frame's side of hand-overs.
#include "frame/qt/SingleFrame.h"

#include "frame/HandOver.h"
#include "frame/qt/DocumentWindows.h"
#include "frame/qt/FrameSocket.h"
#include "frame/qt/MainFrame.h"
#include "macro/MacroRun.h"
#include "platform/qt/QtHost.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <thread>

namespace varlin {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kFrameAnswers = std::chrono::seconds(5);     // a frame is starting or busy
constexpr auto kSpawnedFrameAnswers = std::chrono::seconds(20);
constexpr auto kRetryPause = std::chrono::milliseconds(50);
constexpr int kBusyRetryMs = 200;
// A test's hook: a macro file run after the files of each hand-over have opened, so that
// a test without a user (git commit with --wait) can edit, save and close them.
constexpr const char* kAfterHandOverHook = "VARLIN_TEST_AFTER_HAND_OVER";

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The display the frame shows on: a frame on another display is another frame.
std::string Display() {
    const std::string wayland = Environment("WAYLAND_DISPLAY");
    return wayland.empty() ? Environment("DISPLAY") : "wayland:" + wayland;
}

std::string CurrentFolder() {
    char path[PATH_MAX];
    return ::getcwd(path, sizeof path) ? std::string(path) : std::string();
}

HandOverRequest RequestOf(const WindowArguments& arguments) {
    HandOverRequest request;
    const std::string folder = CurrentFolder();
    for (const FileSpot& spot : arguments.files)
        request.files.push_back({AbsoluteName(spot.name, folder), spot.line, spot.column});
    request.wait = arguments.wait;
    request.activationToken = Environment("XDG_ACTIVATION_TOKEN");
    if (request.activationToken.empty()) request.activationToken = Environment("DESKTOP_STARTUP_ID");
    return request;
}

// A frame of its own for a waiting start: this program again, without files, in a
// session of its own, so that it outlives the start and the terminal it came from.
bool SpawnFrame(const WindowArguments& arguments, const std::string& settingsFile) {
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return false;
    self[n] = '\0';
    std::string settings = settingsFile;
    const pid_t pid = ::fork();
    if (pid < 0) return false;
    if (pid > 0) return true;
    ::setsid();
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
    }
    char settingsOption[] = "--settings";
    char* argv[] = {self, arguments.hasSettingsFile ? settingsOption : nullptr, settings.data(), nullptr};
    ::execv(self, argv);
    ::_exit(127);
}

}  // namespace

FrameClaim ClaimFrame(const WindowArguments& arguments, const std::string& settingsFile) {
    FrameClaim claim;
    std::string error;
    const std::string folder = UserRuntimeFolder(error);
    if (folder.empty()) {
        std::fprintf(stderr, "varlin: %s: this frame takes no files from other starts\n", error.c_str());
        if (arguments.wait) {
            std::fprintf(stderr, "varlin: --wait needs a frame to hand the files to\n");
            claim.handedOver = true;
            claim.status = 1;
        }
        return claim;
    }
    const std::string socket = FrameSocketPath(folder, Display(), settingsFile);
    const std::string lockPath = FrameLockPath(socket);
    if (arguments.newFrame && !arguments.wait) {
        if (claim.lock.TryTake(lockPath)) claim.socketPath = socket;
        return claim;
    }
    const HandOverRequest request = RequestOf(arguments);
    bool spawned = false;
    const Clock::time_point deadline = Clock::now() + (arguments.wait ? kSpawnedFrameAnswers : kFrameAnswers);
    for (;;) {
        if (claim.lock.TryTake(lockPath)) {
            if (!arguments.wait) {
                claim.socketPath = socket;
                return claim;
            }
            claim.lock.Release();  // the frame to come takes it
            if (!spawned && !SpawnFrame(arguments, settingsFile)) break;
            spawned = true;
        } else {
            const HandOverOutcome outcome = HandOverToFrame(socket, request);
            if (outcome.reached) {
                claim.handedOver = true;
                claim.status = outcome.status;
                return claim;
            }
        }
        if (Clock::now() > deadline) break;
        std::this_thread::sleep_for(kRetryPause);
    }
    if (arguments.wait) {
        std::fprintf(stderr, "varlin: no frame took the files to wait on (%s)\n", socket.c_str());
        claim.handedOver = true;
        claim.status = 1;
        return claim;
    }
    std::fprintf(stderr, "varlin: the running frame does not answer (%s); this start opens a frame of its own\n",
                 socket.c_str());
    return claim;
}

namespace {

// The frame's side: requests wait in a queue while the frame is busy, then their files
// open, and the documents of waiting starts are watched until they close.
class HandOverReceiver : public QObject {
public:
    explicit HandOverReceiver(MainFrame& frame) : QObject(&frame), frame_(frame) {
        retry_.setInterval(kBusyRetryMs);
        connect(&retry_, &QTimer::timeout, this, [this] { OpenWaiting(); });
    }

    void Take(HandOverRequest request, FrameServer::Reply reply) {
        queue_.push_back({std::move(request), std::move(reply)});
        QTimer::singleShot(0, this, [this] { OpenWaiting(); });
    }

private:
    struct Pending {
        HandOverRequest request;
        FrameServer::Reply reply;
    };

    // A modal dialog, an open menu or a running macro (whose Escape poll lets the event
    // loop run) must not find documents appearing under it.
    bool Busy() const {
        return opening_ || QApplication::activeModalWidget() || QApplication::activePopupWidget() ||
               QtHostInsideEscapePoll() || MacroRunning();
    }

    void OpenWaiting() {
        if (queue_.empty()) {
            retry_.stop();
            return;
        }
        if (Busy()) {
            if (!retry_.isActive()) retry_.start();
            return;
        }
        retry_.stop();
        opening_ = true;
        while (!queue_.empty()) {
            Pending pending = std::move(queue_.front());
            queue_.pop_front();
            Open(pending);
        }
        opening_ = false;
        const std::string hook = Environment(kAfterHandOverHook);
        if (!hook.empty()) RunMacroFile(hook);
    }

    void Open(Pending& pending) {
        std::optional<WaitBook::Start> start;
        if (pending.reply) {
            start = book_.Begin();
            replies_[*start] = pending.reply;
        }
        for (const FileSpot& spot : pending.request.files) {
            QMdiSubWindow* window = frame_.OpenFileSpot(spot, MainFrame::Reuse::ReuseOpen);
            if (!start) continue;
            EditSubWindow* document = window ? Watch(window) : nullptr;
            if (document) book_.Add(*start, document);
            else book_.Failed(*start);
        }
        Raise(pending.request.activationToken);
        if (start) {
            if (std::optional<int> status = book_.End(*start)) Finish(*start, *status);
        }
    }

    EditSubWindow* Watch(QMdiSubWindow* window) {
        auto* sub = qobject_cast<EditSubWindow*>(window);
        if (!sub) return nullptr;
        if (watched_.insert(sub).second) {
            connect(sub, &EditSubWindow::documentClosed, this, [this, sub](bool discarded) {
                watched_.erase(sub);
                for (const auto& [start, status] : book_.Closed(sub, discarded)) Finish(start, status);
            });
        }
        return sub;
    }

    void Finish(WaitBook::Start start, int status) {
        auto it = replies_.find(start);
        if (it == replies_.end()) return;
        FrameServer::Reply reply = std::move(it->second);
        replies_.erase(it);
        if (reply) reply(status);
    }

    void Raise(const std::string& token) {
        // Wayland lets a window take the focus only with the token of the start that asks.
        if (!token.empty()) qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(token));
        if (frame_.isMinimized()) frame_.setWindowState(frame_.windowState() & ~Qt::WindowMinimized);
        frame_.show();
        frame_.raise();
        frame_.activateWindow();
    }

    MainFrame& frame_;
    std::deque<Pending> queue_;
    QTimer retry_;
    bool opening_ = false;
    WaitBook book_;
    std::map<WaitBook::Start, FrameServer::Reply> replies_;
    std::set<const void*> watched_;
};

}  // namespace

bool ServeHandOvers(MainFrame& frame, const std::string& socketPath) {
    auto* receiver = new HandOverReceiver(frame);
    auto* server = new FrameServer(
        [receiver](HandOverRequest request, FrameServer::Reply reply) {
            receiver->Take(std::move(request), std::move(reply));
        },
        receiver);
    std::string error;
    if (server->Listen(socketPath, error)) return true;
    std::fprintf(stderr, "varlin: %s: this frame takes no files from other starts\n", error.c_str());
    return false;
}

}  // namespace varlin
