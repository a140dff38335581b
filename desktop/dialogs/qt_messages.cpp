#include "desktop/dialogs/qt_messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QString>

namespace platform {

Answer QtMessages::Show(MessageKind kind, const std::string& text)
{
    QMessageBox::Icon icon = QMessageBox::Warning;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (kind) {
    case MessageKind::Warning: icon = QMessageBox::Warning; break;
    case MessageKind::Information: icon = QMessageBox::Information; break;
    case MessageKind::Error: icon = QMessageBox::Critical; break;
    case MessageKind::Confirmation:
        icon = QMessageBox::Question;
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    case MessageKind::SaveChanges:
        icon = QMessageBox::Warning;
        buttons = QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
        break;
    }
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    // No parent: the box is centred on the screen and blocks the whole program.
    // The window the user was typing into gets the keyboard back afterwards,
    // if it is still there (a display without a window manager would leave
    // the program without an active window).
    // Two boxes in a row: the window is not active again yet when the second
    // opens, so the one the first box gave back to is kept.
    static QPointer<QWidget> returnTo;
    if (QWidget* window = QApplication::activeWindow()) returnTo = window;
    const QPointer<QWidget> active = returnTo;
    QMessageBox box(icon, QString::fromLatin1(MessageTitle(kind)), shown, buttons);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    const int result = box.exec();
    // A modal window (the matrix entry) the box was raised from gets it back
    // too; a window behind another modal one does not.
    const QWidget* modal = QApplication::activeModalWidget();
    if (active && active->isVisible() && (!modal || modal == active->window())) active->activateWindow();
    if (kind == MessageKind::SaveChanges)
        return result == QMessageBox::Save ? Answer::Yes : result == QMessageBox::Discard ? Answer::No : Answer::Cancel;
    if (kind != MessageKind::Confirmation) return Answer::Ok;
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void QtMessages::Beep() { QApplication::beep(); }

}  // namespace platform
