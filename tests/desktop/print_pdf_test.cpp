// Printing without a printer: the system's print dialog (answered from the
// test, its "print to file" chosen), and "Save as P&DF...", whose pages are
// the printout's pages. The PDFs are read back with pdftotext and pdfinfo.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>

#include "tests/support/scripted_save_dialog.h"
#include "tests/support/recording_messages.h"
#include "analysis/report/print_layout.h"
#include "analysis/files/save_dialog.h"
#include "desktop/dialogs/qt_print_surface.h"
#include "desktop/results/results_window.h"
#include "foundation/messages.h"
#include "modal_answerer.h"
#include "render/report_pdf.h"

namespace {

namespace fs = std::filesystem;

// The output of a command, empty when it fails.
std::string Run(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}
std::string PdfText(const fs::path& pdf) { return Run("pdftotext -layout '" + pdf.string() + "' - 2>/dev/null"); }
int PdfPages(const fs::path& pdf)
{
    const std::string info = Run("pdfinfo '" + pdf.string() + "' 2>/dev/null");
    const auto at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

// A report of many lines, with characters from outside Latin-1.
QString Report()
{
    QString text = QStringLiteral("Größe €ł: Bayesian test for a deficit\n");
    for (int i = 1; i <= 150; ++i) text += QStringLiteral("Report line %1 of the results\n").arg(i);
    return text + QStringLiteral("Notes: Zażółć gęślą jaźń\n");
}

class PrintAndPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        window.memoResults->setPlainText(Report());
        auto pdfDialog = std::make_unique<platform::ScriptedSaveDialog>("results.pdf", "*.pdf");
        pdfSaves = pdfDialog.get();
        window.SetPdfSaveDialog(std::move(pdfDialog));
    }
    fs::path Path(const char* name) const { return fs::path(dir.path().toStdString()) / name; }

    // Every line of the report is in the PDF's text, in order.
    void ExpectEveryLine(const std::string& pdfText)
    {
        std::size_t from = 0;
        for (const QString& line : Report().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const std::size_t at = pdfText.find(line.toStdString(), from);
            ASSERT_NE(at, std::string::npos) << line.toStdString();
            from = at;
        }
    }

    QTemporaryDir dir;
    platform::RecordingMessages messages;
    platform::ScopedMessages channel{messages};
    TfrmTemplateResults window;
    platform::ScriptedSaveDialog* pdfSaves = nullptr;
};

TEST_F(PrintAndPdf, SaveAsPdfHoldsEveryLineOnThePrintoutsPages)
{
    const fs::path pdf = Path("report.pdf");
    pdfSaves->ScriptAnswer(pdf.string());
    ASSERT_EQ(window.mnuSavePdf->text(), "Save as P&DF...");
    window.mnuSavePdf->trigger();
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_TRUE(fs::exists(pdf));
    ExpectEveryLine(PdfText(pdf));

    // The same text printed to a PDF through the printer path: the same
    // pages, margins, header and footer.
    const fs::path printed = Path("printed.pdf");
    platform::PrintFramedDocument(*platform::QtPrintSurface::ForPdfFile(printed.string(), platform::ReportPrintFont()),
                                  Report().replace(QLatin1String("\n"), QLatin1String("\r\n")).toStdU32String(),
                                  platform::ReportPageFrame());
    EXPECT_GT(PdfPages(pdf), 1);
    EXPECT_EQ(PdfPages(pdf), PdfPages(printed));
    EXPECT_EQ(PdfText(pdf), PdfText(printed));
}

TEST_F(PrintAndPdf, PdfPageCountIsTheLayoutsAndExtraPagesFollow)
{
    const QFont font = platform::ReportPrintFont();
    const std::u32string text = Report().replace(QLatin1String("\n"), QLatin1String("\r\n")).toStdU32String();
    const fs::path pdf = Path("plain.pdf");
    const int pages = platform::WriteReportPdf(pdf.string(), font, text);
    EXPECT_EQ(PdfPages(pdf), pages);

    // The framed layout alone on the PDF's page: its page count is the file's.
    const platform::PdfPrintSurface surface(font);
    EXPECT_EQ(platform::CountFramedPages(surface, text, platform::ReportPageFrame()), pages);

    // A page painted after the report, as a figure is added.
    const fs::path withFigure = Path("figure.pdf");
    window.SetPdfExtraPages([] {
        return std::vector<platform::ExtraPagePainter>{[](QPainter& painter, const QRect& page) {
            painter.drawText(page, Qt::AlignCenter, QStringLiteral("Extra page"));
        }};
    });
    pdfSaves->ScriptAnswer(withFigure.string());
    window.mnuSavePdf->trigger();
    EXPECT_EQ(PdfPages(withFigure), pages + 1);
    const std::string all = PdfText(withFigure);
    EXPECT_NE(all.find("Extra page"), std::string::npos);
    EXPECT_GT(all.find("Extra page"), all.find("Zażółć gęślą jaźń"));
}

TEST_F(PrintAndPdf, AFailedPdfLeavesNoFileAndSaysWhy)
{
    // A folder that is not there: a message, and no file.
    const fs::path pdf = Path("missing") / "report.pdf";
    pdfSaves->ScriptAnswer(pdf.string());
    window.mnuSavePdf->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, platform::MessageKind::Error);
    EXPECT_FALSE(fs::exists(pdf));
    // Cancelled: nothing happens.
    messages.Clear();
    window.mnuSavePdf->trigger();
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PrintAndPdf, PrintOffersTheSystemsPrintDialog)
{
    // Cancelled: nothing printed, nothing said.
    bool asked = false;
    AnswerNextModal([&](QWidget* modal) {
        asked = qobject_cast<QPrintDialog*>(modal) != nullptr;
        static_cast<QDialog*>(modal)->reject();
    });
    window.mnuPrint->trigger();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(messages.shown.empty());

    // "Print to file": the printout is a PDF with every line.
    const fs::path pdf = Path("printed.pdf");
    AnswerNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QPrintDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog->printer()->setOutputFileName(QString::fromStdString(pdf.string()));
        dialog->done(QDialog::Accepted);
    });
    window.mnuPrint->trigger();
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_TRUE(fs::exists(pdf));
    ExpectEveryLine(PdfText(pdf));
}

}  // namespace
