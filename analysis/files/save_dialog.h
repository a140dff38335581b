#pragma once
// The file-save dialog: proposes a file name, lets the user pick one (asking
// before an existing file is replaced) and remembers the last name chosen so
// that the next save proposes it again. File names are UTF-8.
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class SaveDialog {
public:
    explicit SaveDialog(std::string defaultName = "results.txt", std::string filter = "*.txt");
    virtual ~SaveDialog() = default;

    // The chosen file name, or nothing if the user cancelled.
    std::optional<std::string> Execute();

    // The name the next Execute proposes.
    const std::string& FileName() const { return fileName_; }
    const std::string& Filter() const { return filter_; }

protected:
    // Shows the platform's dialog. overwritePrompt: ask before replacing a file.
    virtual std::optional<std::string> AskFileName(const std::string& proposed,
                                                   const std::string& filter,
                                                   bool overwritePrompt) = 0;

private:
    std::string fileName_;
    std::string filter_;
};

// Test fake: answers from a script (cancel once it is used up) and remembers
// what each call proposed.
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
                                           bool overwritePrompt) override;
};

}  // namespace platform
