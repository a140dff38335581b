// The Qt side of the platform interfaces: message boxes, the busy pointer,
// the save dialog, the printer's surface; and the --version and --help
// answers given before the toolkit starts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <QAbstractButton>
#include <QComboBox>
#include <QCursor>
#include <QFileDialog>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "analysis/report/print_layout.h"
#include "desktop/app/info_options.h"
#include "desktop/app/qt_app_helpers.h"
#include "desktop/dialogs/qt_messages.h"
#include "desktop/dialogs/qt_print_surface.h"
#include "pdf_print_surface.h"
#include "desktop/dialogs/qt_save_dialog.h"
#include "modal_answerer.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// Each kind of box has its title, icon and buttons; the button pressed is
// the answer; the program's "\r" line breaks show as line breaks.
TEST(QtMessages, EachKindHasItsTitleIconAndButtons)
{
    const struct {
        MessageKind kind;
        QMessageBox::StandardButton press;
        Answer answer;
        const char* title;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    } cases[] = {
        {MessageKind::Warning, QMessageBox::Ok, Answer::Ok, "Warning", QMessageBox::Warning, QMessageBox::Ok},
        {MessageKind::Information, QMessageBox::Ok, Answer::Ok, "Information", QMessageBox::Information, QMessageBox::Ok},
        {MessageKind::Error, QMessageBox::Ok, Answer::Ok, "Error", QMessageBox::Critical, QMessageBox::Ok},
        {MessageKind::Confirmation, QMessageBox::No, Answer::No, "Confirm", QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No},
        {MessageKind::Confirmation, QMessageBox::Yes, Answer::Yes, "Confirm", QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        bool seen = false;
        AnswerNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(box->windowTitle(), c.title);
            EXPECT_EQ(box->text(), "INPUT ERROR\n\nEnter numeric data only.");
            EXPECT_EQ(box->icon(), c.icon);
            EXPECT_EQ(box->standardButtons(), c.buttons);
            box->button(c.press)->click();
        });
        QtMessages channel;
        EXPECT_EQ(channel.Show(c.kind, "INPUT ERROR\r\rEnter numeric data only."), c.answer);
        EXPECT_TRUE(seen);
    }
}

TEST(QtAppHelpers, HourglassOnTwiceNeedsOneOffAndPendingEventsAreProcessedOnce)
{
    SetHourglassPointer(true);
    SetHourglassPointer(true);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    SetHourglassPointer(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    SetHourglassPointer(false);   // harmless when already off
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    bool ran = false;
    QTimer::singleShot(0, [&ran] { ran = true; });
    ProcessPendingEventsOnce();
    EXPECT_TRUE(ran);
}

class TempDir : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temporary.isValid()); }
    QTemporaryDir temporary;
    fs::path dir{temporary.path().toStdString()};
};

using QtSaveDialogTest = TempDir;

// Answers the next file dialog: remembers what it proposed, picks the
// filter `down` places below the first and types the name, as a user would.
void AnswerFileDialog(const QString& name, QStringList& proposed, int down = 0)
{
    AnswerNextModal([&proposed, name, down](QWidget* w) {
        auto* fd = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(fd, nullptr);
        EXPECT_EQ(fd->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_FALSE(fd->testOption(QFileDialog::DontConfirmOverwrite));
        proposed = fd->selectedFiles();
        auto* types = fd->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* edit = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(types && edit);
        for (int i = 0; i < down; ++i) QTest::keyClick(types, Qt::Key_Down);
        edit->setText(name);
        static_cast<QDialog*>(fd)->accept();  // the file dialog's own accept checks the name
    });
}

TEST_F(QtSaveDialogTest, ProposesResultsTxtThenTheLastNameAndAddsTheChosenFiltersSuffix)
{
    QtSaveDialog dialog;
    const QString chosen = QString::fromStdString((dir / "a.txt").string());
    QStringList proposed;
    AnswerFileDialog(chosen, proposed);
    EXPECT_EQ(dialog.Execute(), std::optional<std::string>(chosen.toStdString()));
    ASSERT_EQ(proposed.size(), 1);
    EXPECT_TRUE(proposed[0].endsWith("/results.txt")) << proposed[0].toStdString();

    // The next save proposes a.txt; a name typed without extension gets the
    // filter's (before the dialog's own question about replacing a file).
    const QString bare = QString::fromStdString((dir / "plain").string());
    AnswerFileDialog(bare, proposed);
    EXPECT_EQ(dialog.Execute(), std::optional<std::string>(bare.toStdString() + ".txt"));
    EXPECT_EQ(proposed, QStringList{chosen});

    // Another filter chosen in the dialog: its extension; it opens in the
    // folder saved to last.
    QtSaveDialog figures(nullptr, "figure.png", "PNG images (*.png);;PDF files (*.pdf)");
    AnswerFileDialog(bare, proposed, 1);
    EXPECT_EQ(figures.Execute(), std::optional<std::string>(bare.toStdString() + ".pdf"));
    EXPECT_EQ(proposed, QStringList{QString::fromStdString((dir / "figure.png").string())});

    // Cancel gives nothing.
    AnswerNextModal([&](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(dialog.Execute(), std::nullopt);
}

QFont PrintFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(8);
    return font;
}

using QtPrintSurfaceTest = TempDir;

TEST_F(QtPrintSurfaceTest, PrintsARealDocumentToPdfAndAnUnwritableOneFailsToBegin)
{
    const fs::path pdf = dir / "out.pdf";
    auto surface = PdfPrintSurface(pdf.string(), PrintFont());
    EXPECT_TRUE(QFontInfo(PrintFont()).fixedPitch());
    EXPECT_GT(surface->PageWidth(), 0);
    EXPECT_GT(surface->PageHeight(), surface->PageWidth());
    EXPECT_GT(surface->CharHeight(), 0);
    EXPECT_GT(surface->AverageCharWidth(), 0);
    // A fixed-pitch font: ten characters measure ten times one (give or take
    // the rounding of one character's fractional width).
    EXPECT_NEAR(surface->MeasureRun(U"0123456789"), 10 * surface->MeasureRun(U"0"), 10);
    EXPECT_EQ(surface->MeasureRun(U"iiiii"), surface->MeasureRun(U"MMMMM"));

    std::u32string text = U"Report line\r\n" + std::u32string(400, U'x') + U"\r\n\tTabbed\f";
    for (int i = 0; i < 200; ++i) text += U"line\r\n";
    PrintDocument(*surface, text);

    std::ifstream in(pdf, std::ios::binary);
    std::string head(4, '\0');
    in.read(head.data(), 4);
    EXPECT_EQ(head, "%PDF");
    // Text was drawn: the document carries the font it was drawn in.
    const std::string all((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(all.find("/BaseFont"), std::string::npos);

    auto unwritable = PdfPrintSurface((dir / "missing" / "out.pdf").string(), PrintFont());
    EXPECT_THROW(PrintDocument(*unwritable, U"text"), PrintError);
}

std::string InfoAnswer(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "harrow");
    return InfoOptionText(static_cast<int>(arguments.size()), arguments.data(), "9.8");
}

TEST(InfoOptions, VersionAndHelpAreAnsweredOtherArgumentsAreNot)
{
    EXPECT_EQ(InfoAnswer({"--version"}), "harrow 9.8\n");
    EXPECT_EQ(InfoAnswer({"-platform", "offscreen", "--version"}), "harrow 9.8\n");
    EXPECT_EQ(InfoAnswer({"--version", "--help"}), "harrow 9.8\n");
    const std::string help = InfoAnswer({"--help"});
    EXPECT_EQ(help.rfind("Usage: harrow [--help | --version]\n", 0), 0u);
    EXPECT_NE(help.find("~/.local/share/Harrow"), std::string::npos);
    for (auto arguments : std::vector<std::vector<const char*>>{{}, {"-platform", "offscreen"}, {"-version"}, {"--Version"}})
        EXPECT_EQ(InfoAnswer(arguments), "") << arguments.size();
}

}  // namespace
}  // namespace platform
