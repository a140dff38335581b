#include "analysis/files/save_dialog.h"

#include <utility>

namespace platform {

SaveDialog::SaveDialog(std::string defaultName, std::string filter)
    : fileName_(std::move(defaultName)), filter_(std::move(filter))
{
}

std::optional<std::string> SaveDialog::Execute()
{
    std::optional<std::string> chosen = AskFileName(fileName_, filter_, true);
    if (chosen && !chosen->empty()) {
        fileName_ = *chosen;
        return chosen;
    }
    return std::nullopt;
}

}  // namespace platform
