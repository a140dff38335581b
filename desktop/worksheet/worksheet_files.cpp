// The worksheet window's File menu: worksheets kept under names of their
// own, the recent files, and the question before unsaved changes go.
#include <algorithm>
#include <optional>

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QStringList>

#include "analysis/files/open_dialog.h"
#include "analysis/files/save_dialog.h"
#include "analysis/run/command_guard.h"
#include "analysis/worksheet/worksheet_file.h"
#include "desktop/app/qt_app_helpers.h"
#include "desktop/worksheet/worksheet_window.h"
#include "foundation/messages.h"

namespace {

constexpr char UntitledName[] = "Untitled worksheet";
constexpr char UnsavedQuestion[] = "The worksheet has changes that are not saved in a file.\rSave them?";

}  // namespace

// ---- Worksheet files ----------------------------------------------------------------

void TfrmTemplate::SetWorksheetDialogs(std::unique_ptr<platform::OpenDialog> open,
                                       std::unique_ptr<platform::SaveDialog> save)
{
    worksheetOpenDialog_ = std::move(open);
    worksheetSaveDialog_ = std::move(save);
}

void TfrmTemplate::MarkModified()
{
    if (!updating_) setWindowModified(true);
}

void TfrmTemplate::MarkSaved(const std::string& path)
{
    filePath_ = path;
    const QString name = path.empty() ? QString::fromLatin1(UntitledName) : QFileInfo(QString::fromStdString(path)).fileName();
    setWindowTitle(QStringLiteral("Harrow: ") + name + QStringLiteral("[*]"));
    setWindowModified(false);
}

bool TfrmTemplate::ResolveUnsavedChanges()
{
    if (!isWindowModified()) return true;
    switch (platform::AskToSaveChanges(UnsavedQuestion)) {
    case platform::Answer::Yes: return filePath_.empty() ? SaveWorksheetAs() : SaveWorksheetTo(filePath_);
    case platform::Answer::No: return true;
    default: return false;
    }
}

bool TfrmTemplate::SaveWorksheetTo(const std::string& path)
{
    ReadWidgets();
    const DataFileResult result = SaveWorksheetFile(path, data_);
    if (!result.ok()) {
        platform::ShowError(result.message);
        return false;
    }
    MarkSaved(path);
    RememberRecentFile(path);
    return true;
}

bool TfrmTemplate::SaveWorksheetAs()
{
    const std::optional<std::string> path = worksheetSaveDialog_->Execute();
    return path && SaveWorksheetTo(*path);
}

void TfrmTemplate::FileNewClick()
{
    platform::RunCommand([this] {
        if (!ResolveUnsavedChanges()) return;
        ForgetClearedData();
        data_.Reset();
        data_.WriteDefaultNames();
        ShowData();
        MarkSaved("");
        FocusField(CovariatesField);
    });
}

void TfrmTemplate::FileOpenClick()
{
    platform::RunCommand([this] {
        if (!ResolveUnsavedChanges()) return;
        if (const std::optional<std::string> path = worksheetOpenDialog_->Execute()) ReadWorksheet(*path);
    });
}

bool TfrmTemplate::OpenWorksheet(const std::string& path)
{
    bool opened = false;
    platform::RunCommand([&] { opened = ResolveUnsavedChanges() && ReadWorksheet(path); });
    return opened;
}

bool TfrmTemplate::ReadWorksheet(const std::string& path)
{
    ReadWidgets();
    const DataFileResult result = OpenWorksheetFile(path, data_);
    if (!result.ok()) {
        platform::ShowError(result.message);
        // A file that has gone leaves the list of recent files.
        if (!QFileInfo::exists(QString::fromStdString(path))) {
            recentFiles_.erase(std::remove(recentFiles_.begin(), recentFiles_.end(), path), recentFiles_.end());
            ShowRecentFiles();
        }
        return false;
    }
    ForgetClearedData();
    ShowData();
    MarkSaved(path);
    RememberRecentFile(path);
    FocusField(SampleSizeField);
    return true;
}

void TfrmTemplate::FileSaveClick()
{
    platform::RunCommand([this] {
        if (filePath_.empty())
            SaveWorksheetAs();
        else
            SaveWorksheetTo(filePath_);
    });
}

void TfrmTemplate::FileSaveAsClick()
{
    platform::RunCommand([this] { SaveWorksheetAs(); });
}

// The recent files live in the user's settings, so the next start offers them too.
void TfrmTemplate::LoadRecentFiles()
{
    recentFiles_.clear();
    for (const QString& path : QSettings().value(QStringLiteral("worksheet/recentFiles")).toStringList())
        if (recentFiles_.size() < RecentFilesKept && !path.isEmpty() &&
            std::find(recentFiles_.begin(), recentFiles_.end(), path.toStdString()) == recentFiles_.end())
            recentFiles_.push_back(path.toStdString());
    ShowRecentFiles();
}

void TfrmTemplate::RememberRecentFile(const std::string& path)
{
    recentFiles_ = WithRecentFile(recentFiles_, path);
    ShowRecentFiles();
}

void TfrmTemplate::ShowRecentFiles()
{
    QStringList paths;
    recentMenu_->clear();
    for (std::size_t i = 0; i < recentFiles_.size(); ++i) {
        const QString path = QString::fromStdString(recentFiles_[i]);
        paths << path;
        // "&1 norms.txt": a digit to choose it by, the whole path as its tip.
        QAction* action = recentMenu_->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName().replace(QLatin1Char('&'), QStringLiteral("&&"))));
        action->setToolTip(path);
        action->setStatusTip(path);
        const std::string chosen = recentFiles_[i];
        connect(action, &QAction::triggered, this, [this, chosen] { OpenWorksheet(chosen); });
    }
    recentMenu_->setEnabled(!recentFiles_.empty());
    QSettings().setValue(QStringLiteral("worksheet/recentFiles"), paths);
}

