// The road of a key through the frame: an application event filter that sees every key
// pressed in the frame before the focused widget does, and tries in this order the MDI
// window keys, the prefix keys, and the accelerator table; what none takes goes on to
// the widget (characters typed into a document window).
#pragma once

#include <QObject>
#include <QPointer>

class QKeyEvent;
class QWidget;

namespace varlin {

class MainFrame;

class FrameKeyFilter : public QObject {
public:
    explicit FrameKeyFilter(MainFrame& frame);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsPropagation(QWidget* receiver, const QKeyEvent* event) const;
    bool HandleKey(QWidget* receiver, QKeyEvent* event);
    static bool LeftToQt(const QKeyEvent* event);
    bool WouldConsume(QWidget* receiver, QKeyEvent* event);
    bool MdiKey(QKeyEvent* event, bool run);
    bool ControlWantsKey(QWidget* receiver, QKeyEvent* event);

    MainFrame& frame_;
    // The key event last handled and where: Qt hands an unused key on to the parents,
    // and a key must pass the chain only once.
    const QKeyEvent* lastEvent_ = nullptr;
    int lastKey_ = 0;
    Qt::KeyboardModifiers lastModifiers_;
    QPointer<QWidget> lastReceiver_;
};

}  // namespace varlin
