#pragma once
// The toolkit's file-open dialog.
#include "analysis/files/open_dialog.h"

class QWidget;

namespace platform {

class QtOpenDialog : public OpenDialog {
public:
    QtOpenDialog(QWidget* parent, std::string title, std::string filter);

protected:
    std::optional<std::string> AskFileName(const std::string& title, const std::string& lastName,
                                           const std::string& filter) override;

private:
    QWidget* parent_;
};

}  // namespace platform
