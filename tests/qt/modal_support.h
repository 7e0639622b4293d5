// Answering a modal dialog in a Qt test: the test starts the command that opens it, and
// the answer runs from the event loop once the dialog is up.
#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>

namespace varlin::test {

// Runs `answer` on the first modal dialog of type D once it is up.
template <typename D>
void WhenModalShows(std::function<void(D*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(d);
        }
    });
    timer->start();
}

}  // namespace varlin::test
