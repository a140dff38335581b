#pragma once
// Answers the next modal dialog from a test: polls until a modal widget is
// shown and hands it to the given function, which must close it. Should the
// dialog never close, it is rejected after a few seconds so no test hangs.
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

inline void AnswerNextModal(std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
            if (QApplication::activeModalWidget() == modal)
                if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            return;
        }
        if (++*tries > 500) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal dialog appeared";
        }
    });
    timer->start(10);
}
