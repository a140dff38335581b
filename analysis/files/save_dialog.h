#pragma once
// The file-save dialog: proposes a file name, lets the user pick one (asking
// before an existing file is replaced) and remembers the last name chosen so
// that the next save proposes it again. File names are UTF-8.
#include <optional>
#include <string>

namespace platform {

class SaveDialog {
public:
    explicit SaveDialog(std::string defaultName = "results.txt", std::string filter = "*.txt");
    virtual ~SaveDialog() = default;

    // The chosen file name, or nothing if the user cancelled.
    std::optional<std::string> Execute();

    // The name the next Execute proposes.
    const std::string& FileName() const { return fileName_; }

protected:
    // Shows the platform's dialog. overwritePrompt: ask before replacing a file.
    virtual std::optional<std::string> AskFileName(const std::string& proposed,
                                                   const std::string& filter,
                                                   bool overwritePrompt) = 0;

private:
    std::string fileName_;
    std::string filter_;
};

}  // namespace platform
