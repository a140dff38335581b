#include "desktop/dialogs/qt_open_dialog.h"

#include <QFileDialog>
#include <QString>

namespace platform {

QtOpenDialog::QtOpenDialog(QWidget* parent, std::string title, std::string filter)
    : OpenDialog(std::move(title), std::move(filter)), parent_(parent)
{
}

std::optional<std::string> QtOpenDialog::AskFileName(const std::string& title, const std::string& lastName,
                                                     const std::string& filter)
{
    const QString chosen =
        QFileDialog::getOpenFileName(parent_, QString::fromStdString(title), QString::fromStdString(lastName),
                                     QString::fromStdString(filter));
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

}  // namespace platform
