#pragma once
// The toolkit's file-save dialog: its named filters, the chosen one's
// extension added to a name typed without one.
#include "analysis/files/save_dialog.h"

class QWidget;

namespace platform {

class QtSaveDialog : public SaveDialog {
public:
    explicit QtSaveDialog(QWidget* parent = nullptr, std::string defaultName = "results.txt",
                          std::string filter = "Text files (*.txt)");

protected:
    std::optional<std::string> AskFileName(const std::string& proposed, const std::string& filter,
                                           bool overwritePrompt) override;
    std::string ChosenFilter() const override;

private:
    QWidget* parent_;
    std::string chosenFilter_;
};

}  // namespace platform
