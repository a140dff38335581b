#include "desktop/dialogs/qt_save_dialog.h"

#include <QFileDialog>
#include <QString>

namespace platform {

QtSaveDialog::QtSaveDialog(QWidget* parent, std::string defaultName, std::string filter)
    : SaveDialog(std::move(defaultName), std::move(filter)), parent_(parent)
{
}

std::optional<std::string> QtSaveDialog::AskFileName(const std::string& proposed,
                                                     const std::string& filter,
                                                     bool overwritePrompt)
{
    QFileDialog::Options options;
    if (!overwritePrompt) options |= QFileDialog::DontConfirmOverwrite;
    // The static dialog adds no default suffix: a name typed without an
    // extension is saved under exactly that name.
    const QString chosen = QFileDialog::getSaveFileName(
        parent_, QString(), QString::fromStdString(proposed), QString::fromStdString(filter),
        nullptr, options);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

}  // namespace platform
