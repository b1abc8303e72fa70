#pragma once
// Acting on a modal window from inside its own event loop.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>

namespace verdanel::testing {

// Once a modal window of type T is the active modal window, runs act on it
// (once). If none turns up within the time, every open dialog is rejected so
// the test fails on its checks instead of hanging.
template <class T>
void whenModal(std::function<void(T*)> act, int timeoutMs = 5000) {
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, act, timeoutMs] {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        } else if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
        }
    });
    timer->start(10);
}

// The busy message window on screen, if any.
inline QWidget* visibleBusyWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("busyMessageWindow") && w->isVisible()) return w;
    return nullptr;
}

}  // namespace verdanel::testing
