// Opening a large file in a document window of the whole frame (offscreen platform),
// one run per process: the time from the answer to the question above 500,000 lines
// (1304) to the end of the window's first paint, as wall and processor time, and the
// resident memory then and a second later; and the wall time from the start of the open
// (the file's read included) to that paint, for files that ask no question too. Prints
// "WALL_MS CPU_MS RESIDENT_KB LATER_KB OPEN_MS"; bench/window.sh runs it beside
// FeatherPad, bench/linear.sh at several sizes.
// Usage: bench_window_open FILE
#include "document/Languages.h"
#include "frame/Application.h"
#include "frame/qt/DocumentWindows.h"
#include "frame/qt/GuiMain.h"
#include "frame/qt/MainFrame.h"
#include "platform/HeadlessHost.h"
#include "platform/Registry.h"

#include <QApplication>
#include <QEvent>
#include <QTemporaryDir>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <fstream>
#include <string>

using namespace varlin;

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point g_answered;
double g_answeredCpu = 0;

// The processor time of this process, in milliseconds.
double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}
Host g_inner;

// The headless host's answer, with the moment it was given.
int AnswerAndNote(void*, const MessageRequest& request) {
    int answer = g_inner.showMessage(g_inner.context, request);
    if (request.id == 1304) {
        g_answered = Clock::now();
        g_answeredCpu = CpuMs();
    }
    return answer;
}

// Notes the end of the first paint of the watched widget.
class PaintWatch : public QObject {
public:
    bool painted = false;
    Clock::time_point at;
    double atCpu = 0;
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted) {
            static_cast<QWidget*>(object)->removeEventFilter(this);
            QApplication::sendEvent(object, event);   // the paint itself, then the clock
            painted = true;
            at = Clock::now();
            atCpu = CpuMs();
            return true;
        }
        return false;
    }
};

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string word;
    long kb = 0;
    while (status >> word)
        if (word == "VmRSS:") status >> kb;
    return kb;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_window_open FILE\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    QTemporaryDir dir;
    SetSettingsFile(dir.filePath("settings.ini").toStdString());
    HeadlessHost host;
    host.writeMessagesToStderr = false;
    host.defaultAnswer = HeadlessHost::DefaultAnswer::Yes;
    host.Install();
    g_inner = TheHost();
    Host noting = g_inner;
    noting.showMessage = AnswerAndNote;
    InstallHost(noting);
    Application app;
    if (InitApplication(app, {}, dir.path().toStdString()) != 1) return 1;
    // As the window program does at start, before it opens files: the build folder's
    // language definitions (beside bench/).
    LoadLanguages((QCoreApplication::applicationDirPath() + "/..").toStdString(), "");
    MainFrame frame(app);
    InstallFrameParts(frame);
    frame.resize(1280, 800);
    frame.show();
    QApplication::processEvents();

    PaintWatch watch;
    const Clock::time_point opening = Clock::now();
    const double openingCpu = CpuMs();
    if (OpenEditWindow(frame, argv[1]) != 0) return 1;
    QWidget* viewport = frame.currentDocument() ? frame.currentDocument()->widget() : nullptr;
    if (!viewport) return 1;
    for (QWidget* child : viewport->findChildren<QWidget*>())
        if (child->objectName() == QLatin1String("qt_scrollarea_viewport")) viewport = child;
    viewport->installEventFilter(&watch);
    while (!watch.painted) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // Without the question the answer is the start of the open.
    if (g_answered == Clock::time_point{}) {
        g_answered = opening;
        g_answeredCpu = openingCpu;
    }
    const double ms = std::chrono::duration<double, std::milli>(watch.at - g_answered).count();
    const double openMs = std::chrono::duration<double, std::milli>(watch.at - opening).count();
    const long paintedKb = ResidentKb();
    // A second on, as the peer is measured: the window has done what follows the first
    // paint (the routine list reads the whole text).
    const auto later = Clock::now() + std::chrono::seconds(1);
    while (Clock::now() < later) QApplication::processEvents(QEventLoop::AllEvents, 50);
    std::printf("%.1f %.1f %ld %ld %.1f\n", ms, watch.atCpu - g_answeredCpu, paintedKb, ResidentKb(), openMs);
    return 0;
}
