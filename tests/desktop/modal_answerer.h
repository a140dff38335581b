#pragma once
// Answers the next modal dialog from a test: polls until a modal widget is
// shown and hands it to the given function, which must close it. Should the
// dialog never close, it is rejected so no test hangs.
//
// Waits are on the condition itself with a generous limit in wall-clock time:
// on a loaded machine a window takes long to be shown or activated, and a
// short fixed wait would fail a sound test.
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>

constexpr int kGenerousWaitMs = 60000;

// True once the window is the active one; false only after the generous limit.
inline bool WaitUntilActive(QWidget* window)
{
    return QTest::qWaitForWindowActive(window, kGenerousWaitMs);
}

inline void AnswerNextModal(std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer;
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(timer, &QTimer::timeout, [timer, waited, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
            if (QApplication::activeModalWidget() == modal)
                if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            return;
        }
        if (waited->elapsed() > kGenerousWaitMs) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal dialog appeared";
        }
    });
    timer->start(10);
}
