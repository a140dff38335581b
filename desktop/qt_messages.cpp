#include "desktop/qt_messages.h"

#include <QApplication>
#include <QMessageBox>
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
    }
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    // No parent: the box is centred on the screen and blocks the whole program.
    QMessageBox box(icon, QString::fromLatin1(MessageTitle(kind)), shown, buttons);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    const int result = box.exec();
    if (kind != MessageKind::Confirmation) return Answer::Ok;
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void QtMessages::Beep() { QApplication::beep(); }

}  // namespace platform
