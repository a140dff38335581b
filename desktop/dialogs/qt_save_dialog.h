#pragma once
// The toolkit's file-save dialog.
#include "analysis/files/save_dialog.h"

class QWidget;

namespace platform {

class QtSaveDialog : public SaveDialog {
public:
    explicit QtSaveDialog(QWidget* parent = nullptr, std::string defaultName = "results.txt",
                          std::string filter = "*.txt");

protected:
    std::optional<std::string> AskFileName(const std::string& proposed, const std::string& filter,
                                           bool overwritePrompt) override;

private:
    QWidget* parent_;
};

}  // namespace platform
