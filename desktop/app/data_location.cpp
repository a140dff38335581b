#include "desktop/app/data_location.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace platform {

std::string UserDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();
}

std::string PreviousDataFolder(const FolderProbe& usable)
{
    return DataFileFolder(QCoreApplication::applicationDirPath().toStdString(), UserDataFolder(), usable);
}

}  // namespace platform
