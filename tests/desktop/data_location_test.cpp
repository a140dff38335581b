// Where the desktop program keeps its previous-data file: beside itself in a
// folder it may write, otherwise in the user's data folder, made at the first
// save and emptied again by Clear Data.
#include <sys/stat.h>

#include "desktop_fixture.h"
#include "analysis/run/compute_checks.h"
#include "desktop/app/data_location.h"

namespace desktop_test {
namespace {

class DataLocation : public DesktopTest {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        savedName = QCoreApplication::applicationName();
        savedDataHome = qgetenv("XDG_DATA_HOME");
        hadDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        QCoreApplication::setApplicationName(QStringLiteral("Harrow"));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(folder + "/home-data"));
        userFolder = folder + "/home-data/Harrow";
    }
    void TearDown() override
    {
        DesktopTest::TearDown();
        QCoreApplication::setApplicationName(savedName);
        if (hadDataHome)
            qputenv("XDG_DATA_HOME", savedDataHome);
        else
            qunsetenv("XDG_DATA_HOME");
    }

    static std::string ProgramFolder() { return QCoreApplication::applicationDirPath().toStdString(); }

    QString savedName;
    QByteArray savedDataHome;
    bool hadDataHome = false;
    std::string userFolder;
};

TEST_F(DataLocation, TheProgramFolderWhenUsableElseTheUsersDataFolder)
{
    std::vector<std::string> asked;
    const auto answer = [&](bool usable) {
        return [&asked, usable](const std::string& f) {
            asked.push_back(f);
            return usable;
        };
    };
    EXPECT_EQ(platform::PreviousDataFolder(answer(true)), ProgramFolder());
    EXPECT_EQ(platform::PreviousDataFolder(answer(false)), userFolder);
    EXPECT_EQ(asked, (std::vector<std::string>{ProgramFolder(), ProgramFolder()}));
    EXPECT_EQ(platform::UserDataFolder(), userFolder);
    // A copy run from its build folder keeps the file beside itself, as always.
    EXPECT_EQ(platform::PreviousDataFolder(), ProgramFolder());
    EXPECT_FALSE(fs::exists(userFolder));  // asking makes nothing
}

TEST_F(DataLocation, AnInstalledProgramSavesInTheUsersDataFolderAndClearDataDeletesItThere)
{
    const std::string dataFolder = platform::PreviousDataFolder([](const std::string&) { return false; });
    ASSERT_EQ(dataFolder, userFolder);
    Start(dataFolder);
    EXPECT_TRUE(W().txtInput1->text().isEmpty());  // no file yet, no message
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(fs::exists(userFolder));

    ComputeWithRefusedMatrix();
    EXPECT_EQ(Texts(MessageKind::Error), std::vector<std::string>{NotPositiveDefiniteMessage});
    const std::string file = userFolder + "/Harrow.txt";
    EXPECT_TRUE(fs::exists(file));
    struct stat info {};
    ASSERT_EQ(stat(userFolder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_FALSE(fs::exists(ProgramFolder() + "/Harrow.txt"));

    // The next start finds it there; Clear Data deletes it there.
    Start(dataFolder);
    EXPECT_EQ(W().txtInput1->text(), "2");
    W().btnclearData->click();
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(fs::exists(userFolder));
}

TEST_F(DataLocation, AUserDataFolderThatCannotBeMadeIsReportedAndNothingIsSaved)
{
    { std::ofstream(folder + "/home-data") << "a file where the folder should be"; }
    const std::string file = userFolder + "/Harrow.txt";
    Start(userFolder);
    ComputeWithRefusedMatrix();
    EXPECT_EQ(Texts(MessageKind::Error),
              (std::vector<std::string>{"Cannot read the file \"" + file + "\".\rNot a directory",
                                        "Cannot save the file \"" + file + "\".\rNot a directory",
                                        NotPositiveDefiniteMessage}));
}

}  // namespace
}  // namespace desktop_test
