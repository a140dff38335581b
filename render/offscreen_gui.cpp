#include "render/offscreen_gui.h"

#include <cstdio>

#include <QGuiApplication>
#include <QString>
#include <QtGlobal>

namespace {

void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

struct OffscreenGui::Application {
    Application(int& argc, char** argv) : app(argc, argv) {}
    QGuiApplication app;
};

OffscreenGui::OffscreenGui(int& argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtMessages);
    app_ = std::make_unique<Application>(argc, argv);
}

OffscreenGui::~OffscreenGui() = default;
