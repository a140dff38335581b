#pragma once
// Test fake of the file-open dialog: answers from a script (cancel once it is
// used up) and remembers each call's title.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "analysis/files/open_dialog.h"

namespace platform {

class ScriptedOpenDialog : public OpenDialog {
public:
    using OpenDialog::OpenDialog;
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> titles;

protected:
    std::optional<std::string> AskFileName(const std::string& title, const std::string&,
                                           const std::string&) override
    {
        titles.push_back(title);
        if (answers.empty()) return std::nullopt;
        std::optional<std::string> a = std::move(answers.front());
        answers.pop_front();
        return a;
    }
};

}  // namespace platform
