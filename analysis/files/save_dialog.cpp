#include "analysis/files/save_dialog.h"

#include <sys/stat.h>

#include <utility>

#include "foundation/messages.h"

namespace platform {
namespace {

// The folder of the last file saved, for every save dialog of the session.
std::string& SessionFolder()
{
    static std::string folder;
    return folder;
}

std::size_t LastPartStart(const std::string& name)
{
    const std::size_t slash = name.find_last_of('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::string FilterExtension(const std::string& filter)
{
    const std::string first = filter.substr(0, filter.find(";;"));
    const std::size_t star = first.find("*.");
    if (star == std::string::npos) return {};
    const std::size_t end = first.find_first_of(" );", star);
    const std::string extension = first.substr(star + 1, end == std::string::npos ? std::string::npos : end - star - 1);
    return extension.find('*') == std::string::npos && extension.size() > 1 ? extension : std::string();
}

std::string WithExtension(const std::string& name, const std::string& extension)
{
    const std::string last = name.substr(LastPartStart(name));
    // A leading dot names a hidden file, not an extension.
    if (extension.empty() || last.empty() || last.find('.', 1) != std::string::npos) return name;
    return name + extension;
}

SaveDialog::SaveDialog(std::string defaultName, std::string filter)
    : fileName_(std::move(defaultName)), filter_(std::move(filter))
{
}

std::optional<std::string> SaveDialog::Execute()
{
    const std::string& folder = SessionFolder();
    const std::string proposed = folder.empty() ? fileName_ : folder + fileName_.substr(LastPartStart(fileName_));
    const std::optional<std::string> chosen = AskFileName(proposed, filter_, true);
    if (!chosen || chosen->empty()) return std::nullopt;
    const std::string filter = ChosenFilter();
    // A name that exists (a file or a folder) was chosen as it is.
    const std::string name =
        Exists(*chosen) ? *chosen : WithExtension(*chosen, FilterExtension(filter.empty() ? filter_ : filter));
    // The dialog asked about the name as typed, not about the one with the
    // extension added.
    if (name != *chosen && Exists(name) &&
        !Confirm("\"" + name + "\" already exists.\rDo you want to replace it?"))
        return std::nullopt;
    fileName_ = name;
    SessionFolder() = name.substr(0, LastPartStart(name));
    return name;
}

}  // namespace platform
