#pragma once
// Test fake of the file-save dialog: answers from a script (cancel once it is
// used up) and remembers what each call proposed.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "analysis/files/save_dialog.h"

namespace platform {

class ScriptedSaveDialog : public SaveDialog {
public:
    using SaveDialog::SaveDialog;

    void ScriptAnswer(std::optional<std::string> answer) { answers.push_back(std::move(answer)); }

    struct Call {
        std::string proposed;
        std::string filter;
        bool overwritePrompt;
    };
    std::vector<Call> calls;
    std::deque<std::optional<std::string>> answers;

protected:
    std::optional<std::string> AskFileName(const std::string& proposed, const std::string& filter,
                                           bool overwritePrompt) override
    {
        calls.push_back({proposed, filter, overwritePrompt});
        if (answers.empty()) return std::nullopt;
        std::optional<std::string> a = std::move(answers.front());
        answers.pop_front();
        return a;
    }
};

}  // namespace platform
