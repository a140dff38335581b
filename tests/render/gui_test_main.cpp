// Test entry for code that paints with Qt GUI: a QGuiApplication on the
// offscreen platform unless told otherwise, so no display is needed.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QGuiApplication>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
