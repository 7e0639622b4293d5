// Escape polling for long loops (the replace loop, a running macro): the loop asks now
// and then whether Escape was pressed. Pending events are processed so that windows
// keep painting, but a temporary filter swallows every user input meanwhile, so that no
// menu, key or mouse action can run inside the loop; only Escape is noted.
#include "platform/qt/QtHost.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>

namespace varlin {
namespace {

int g_intervalMs = 40;
int g_depth = 0;

class EscapeFilter : public QObject {
public:
    bool escapeSeen = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) escapeSeen = true;
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::InputMethod:
            return true;
        case QEvent::Close:
            // A window closed by the user would pull the document from under the loop.
            return event->spontaneous();
        default:
            return false;
        }
    }
};

}  // namespace

void SetEscapePollInterval(int milliseconds) { g_intervalMs = milliseconds < 0 ? 0 : milliseconds; }

bool QtHostInsideEscapePoll() { return g_depth > 0; }

bool QtHostPollEscape() {
    static QElapsedTimer sinceLast;
    if (!QCoreApplication::instance() || g_depth > 0) return false;
    if (sinceLast.isValid() && sinceLast.elapsed() < g_intervalMs) return false;
    EscapeFilter filter;
    // Installed last, so it sees every event before the frame's own key filter.
    QCoreApplication::instance()->installEventFilter(&filter);
    ++g_depth;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    --g_depth;
    QCoreApplication::instance()->removeEventFilter(&filter);
    sinceLast.start();
    return filter.escapeSeen;
}

}  // namespace varlin
