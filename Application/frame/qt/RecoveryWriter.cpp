// RecoveryWriter: see the header.
#include "frame/qt/RecoveryWriter.h"

#include "frame/qt/DocumentWindows.h"
#include "frame/qt/MainFrame.h"
#include "settings/Options.h"
#include "view/RecoveryOffer.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace varlin {
namespace {

// A tick this often bounds how late after its time a copy starts.
constexpr int kTickMilliseconds = 250;

// One write at a time, on a thread of its own; joined before the next one and when the
// frame goes.
class RecoveryWriter : public QObject {
public:
    explicit RecoveryWriter(QObject* parent) : QObject(parent) {
        timer_.setInterval(kTickMilliseconds);
        connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
        timer_.start();
    }
    ~RecoveryWriter() override {
        if (thread_.joinable()) thread_.join();
    }

private:
    void Tick() {
        const int seconds = CurrentOptions().RecoverySeconds;
        const double now = std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
        ForEachEditWindow([&](EditWindow& w) {
            std::optional<RecoverySnapshot> due = RecoveryDue(w, now, seconds, writing_.load());
            if (due) Start(w.doc->recovery->Writer(), std::move(*due));
        });
    }

    void Start(std::function<int(const RecoverySnapshot&)> write, RecoverySnapshot snapshot) {
        if (thread_.joinable()) thread_.join();
        writing_ = true;
        thread_ = std::thread([this, write = std::move(write), snapshot = std::move(snapshot)] {
            // A copy that cannot be written is tried again after the next change; the
            // document itself is untouched, so there is nothing to tell the user.
            (void)write(snapshot);
            writing_ = false;
        });
    }

    QTimer timer_;
    std::thread thread_;
    std::atomic<bool> writing_{false};
};

}  // namespace

void StartRecovery(MainFrame& frame) {
    RemoveExpiredRecoveryCopies(std::time(nullptr));
    new RecoveryWriter(&frame);
    QTimer::singleShot(0, &frame, [&frame] {
        OfferUnnamedRecoveries([&frame]() -> EditWindow* { return OpenUntitledWindow(frame); });
        RefreshDocumentTitles(frame);
    });
}

}  // namespace varlin
