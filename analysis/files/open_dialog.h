#pragma once
// The file-open dialog: lets the user pick an existing file to read and
// remembers the folder of the last one chosen. File names are UTF-8.
#include <optional>
#include <string>

namespace platform {

class OpenDialog {
public:
    OpenDialog(std::string title, std::string filter) : title_(std::move(title)), filter_(std::move(filter)) {}
    virtual ~OpenDialog() = default;

    // The chosen file name, or nothing if the user cancelled.
    std::optional<std::string> Execute()
    {
        std::optional<std::string> chosen = AskFileName(title_, lastName_, filter_);
        if (!chosen || chosen->empty()) return std::nullopt;
        lastName_ = *chosen;
        return chosen;
    }

protected:
    // Shows the platform's dialog, starting at the last name chosen ("" at first).
    virtual std::optional<std::string> AskFileName(const std::string& title, const std::string& lastName,
                                                   const std::string& filter) = 0;

private:
    std::string title_;
    std::string filter_;
    std::string lastName_;
};

}  // namespace platform
