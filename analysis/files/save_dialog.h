#pragma once
// The file-save dialog: proposes a file name, lets the user pick one (asking
// before an existing file is replaced) and remembers the last name chosen so
// that the next save proposes it again. Every save dialog opens in the folder
// of the last file saved in this session. A name chosen without an extension
// gets the one of the filter chosen. File names are UTF-8.
#include <optional>
#include <string>

namespace platform {

class SaveDialog {
public:
    // filter: named filters, ";;" between them: "Text files (*.txt)".
    explicit SaveDialog(std::string defaultName = "results.txt", std::string filter = "Text files (*.txt)");
    virtual ~SaveDialog() = default;

    // The chosen file name, with the chosen filter's extension when it had
    // none and nothing has that name yet, or nothing if the user cancelled (also when the extension makes
    // it the name of an existing file and the user does not want it replaced).
    // The name is checked again when the file is written.
    std::optional<std::string> Execute();

    // The name the next Execute proposes, before the session's folder is put in.
    const std::string& FileName() const { return fileName_; }

protected:
    // Shows the platform's dialog. overwritePrompt: ask before replacing a file.
    virtual std::optional<std::string> AskFileName(const std::string& proposed,
                                                   const std::string& filter,
                                                   bool overwritePrompt) = 0;
    // The filter the user left chosen in the last AskFileName; empty: the first.
    virtual std::string ChosenFilter() const { return {}; }

private:
    std::string fileName_;
    std::string filter_;
};

// The extension the first filter of a list names first, with its dot ("PDF
// files (*.pdf)" -> ".pdf"); empty when it names none ("All files (*)").
std::string FilterExtension(const std::string& filter);

// name with extension added when the name's last part has no extension of
// its own ("report" -> "report.txt"; "report.old" and "" stay as they are).
std::string WithExtension(const std::string& name, const std::string& extension);

}  // namespace platform
