#include "cli/figure_output.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QtGlobal>

#include "analysis/text_file.h"
#include "render/figure_files.h"

namespace {

// Qt's own notes (fonts, runtime folders) are not for the user of a command:
// only its critical and fatal messages reach standard error.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) fprintf(stderr, "harrow-cli: %s\n", qPrintable(message));
}

class QtFigureWriter : public CliFigureWriter {
public:
    QtFigureWriter(int& argc, char** argv) : app_(argc, argv) {}

    void WritePlot(const std::string& path, const FigureData& figure) override
    {
        WriteFigureFile(path, LayOutFigure(figure));
    }

    void WritePdf(const std::string&, const std::vector<std::string>&, const FigureData&) override
    {
        throw platform::FileWriteError("The PDF of the report is not available yet.");
    }

private:
    QGuiApplication app_;
};

}  // namespace

std::unique_ptr<CliFigureWriter> StartFigureOutput(int& argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtMessages);
    return std::make_unique<QtFigureWriter>(argc, argv);
}
