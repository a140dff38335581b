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
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !overwritePrompt);
    dialog.setNameFilters(QString::fromStdString(filter).split(QStringLiteral(";;")));
    // The chosen filter's extension goes on a name typed without one before
    // the dialog asks about replacing a file of that name.
    auto suffixOf = [](const QString& nameFilter) {
        return QString::fromStdString(FilterExtension(nameFilter.toStdString())).mid(1);
    };
    dialog.setDefaultSuffix(suffixOf(dialog.nameFilters().value(0)));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, suffixOf](const QString& chosen) { dialog.setDefaultSuffix(suffixOf(chosen)); });
    dialog.selectFile(QString::fromStdString(proposed));
    chosenFilter_.clear();
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    chosenFilter_ = dialog.selectedNameFilter().toStdString();
    const QString chosen = dialog.selectedFiles().constFirst();
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

std::string QtSaveDialog::ChosenFilter() const { return chosenFilter_; }

}  // namespace platform
