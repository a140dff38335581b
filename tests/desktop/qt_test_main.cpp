// Test entry for code that needs a QApplication. The tests run on the
// offscreen platform unless told otherwise, so no display is needed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QSettings>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Settings the windows keep (recent files) go to a folder of the run's own.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
