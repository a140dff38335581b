#pragma once
// A worksheet and a results window on a data folder of the test's own, with
// every message box answered by a recorder, on the offscreen platform.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/recording_messages.h"
#include "desktop/worksheet/matrix_entry_window.h"
#include "modal_answerer.h"
#include "foundation/messages.h"
#include "desktop/app/qt_app_helpers.h"
#include "desktop/results/results_window.h"
#include "desktop/worksheet/worksheet_grid.h"
#include "desktop/worksheet/worksheet_window.h"

namespace desktop_test {

namespace fs = std::filesystem;
using platform::Answer;
using platform::MessageKind;

// The matrix window's cell for column j, row i.
inline QLineEdit* MatrixCell(QWidget* window, int column, int row)
{
    return window->findChild<QLineEdit*>(QStringLiteral("mat%1x%2").arg(column).arg(row));
}

// The room a line edit leaves for its text: its frame, the two pixels it
// keeps on either side, any text margins and the cursor.
inline int TextRoom(const QLineEdit* edit)
{
    const int frame = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit) : 0;
    const QMargins margins = edit->textMargins();
    return edit->width() - 2 * frame - 2 * 2 - margins.left() - margins.right() - 1;
}

inline QPushButton* MatrixButtonNamed(QWidget* window, const char* name)
{
    return window->findChild<QPushButton*>(QString::fromLatin1(name));
}

// The text of a file, or "" when it does not exist.
inline std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::vector<std::string> Lines(const QString& text)
{
    std::vector<std::string> lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(line.toStdString());
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path().toStdString();
        MatrixCancelled = false;
    }

    void TearDown() override
    {
        worksheet.reset();
        results.reset();
        platform::SetHourglassPointer(false);
    }

    // A new start of the program on the folder: the worksheet (reading the
    // data file) and the hidden results window; the worksheet is shown.
    void Start(const std::string& dataFolder)
    {
        worksheet.reset();
        results.reset();
        worksheet = std::make_unique<TfrmTemplate>(dataFolder);
        results = std::make_unique<TfrmTemplateResults>();
        worksheet->SetResultsWindow(results.get());
        worksheet->SetQuitHandler([this] { ++quits; });
        results->SetQuitHandler([this] { ++quits; });
        worksheet->show();
        ASSERT_TRUE(WaitUntilActive(worksheet.get()));
    }
    void Start() { Start(folder); }

    TfrmTemplate& W() { return *worksheet; }
    TWorksheetGrid& Grid() { return *worksheet->grdData; }
    std::string DataPath() const { return folder + "/Harrow.txt"; }

    // A click on a button: the focus moves to it, then it acts.
    static void Press(QPushButton* button)
    {
        button->setFocus(Qt::MouseFocusReason);
        button->click();
    }
    static QWidget* Focused() { return QApplication::focusWidget(); }
    // Replaces a field's text by typing, as a person selecting it first does.
    static void Retype(QLineEdit* field, const char* text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, QString::fromLatin1(text));
    }
    // Puts the grid's editor on a cell, as clicking it does.
    QLineEdit* EditCell(int row, int column)
    {
        Grid().setFocus();
        Grid().setCurrentCell(row, column);
        EXPECT_NE(Grid().Editor(), nullptr);
        return Grid().Editor();
    }

    // The grid's name, mean, SD and score of a row.
    void FillRow(int row, const char* name, const char* mean, const char* sd, const char* score)
    {
        const char* texts[4] = {name, mean, sd, score};
        for (int c = 0; c < 4; ++c) Grid().SetCellText(row, c + 1, QString::fromUtf8(texts[c]));
    }

    // One covariate, 20 controls: task 50 (SD 10), case 30; covariate 10
    // (SD 2), case 8.
    void FillWorkedExample()
    {
        W().txtInput1->setText(QStringLiteral("1"));
        W().txtInput2->setText(QStringLiteral("20"));
        FillRow(0, "Task", "50", "10", "30");
        FillRow(1, "Cov 1", "10", "2", "8");
    }

    // Compute saves the worksheet once the correlations are entered; a matrix
    // that is not positive definite then ends the command, without the long run.
    void ComputeWithRefusedMatrix(const char* task = "Task")
    {
        W().txtInput1->setText(QStringLiteral("2"));
        W().txtInput2->setText(QStringLiteral("30"));
        FillRow(0, task, "50", "10", "30");
        FillRow(1, "Age", "40.5", "12", "45");
        FillRow(2, "Edu", "12.50", "3", "10");
        AnswerMatrix({{{1, 2, QStringLiteral("0.9")}, {1, 3, QStringLiteral("0.9")}, {2, 3, QStringLiteral("-0.9")}}});
        Press(W().cmdCompute);
        ASSERT_TRUE(matrixShown);
    }

    // Answers the next matrix window: sets the cells, presses the button and
    // records what the window showed.
    struct MatrixEntry {
        std::vector<std::tuple<int, int, QString>> cells;  // column, row, text
        const char* button = "CloseBtn";
    };
    void AnswerMatrix(MatrixEntry entry)
    {
        matrixShown = false;
        AnswerNextModal([this, entry](QWidget* window) {
            matrixShown = true;
            matrixTitle = window->windowTitle();
            worksheetHiddenDuringEntry = !worksheet->isVisible();
            shownTexts.clear();
            for (int j = 1; j <= 6; ++j)
                for (int i = j; i <= 6; ++i)
                    if (QLineEdit* cell = MatrixCell(window, j, i)) shownTexts.push_back(cell->text());
            for (const auto& [column, row, text] : entry.cells) {
                QLineEdit* cell = MatrixCell(window, column, row);
                ASSERT_NE(cell, nullptr);
                cell->setText(text);
            }
            MatrixButtonNamed(window, entry.button)->click();
        });
    }

    std::vector<std::string> ResultLines() const { return Lines(results->memoResults->toPlainText()); }

    std::vector<std::string> Texts(MessageKind kind) const
    {
        std::vector<std::string> texts;
        for (const auto& m : messages.shown)
            if (m.kind == kind) texts.push_back(m.text);
        return texts;
    }

    QTemporaryDir dir;
    std::string folder;
    platform::RecordingMessages messages;
    platform::ScopedMessages channel{messages};
    std::unique_ptr<TfrmTemplate> worksheet;
    std::unique_ptr<TfrmTemplateResults> results;
    int quits = 0;
    bool matrixShown = false;
    bool worksheetHiddenDuringEntry = false;
    QString matrixTitle;
    std::vector<QString> shownTexts;
};

}  // namespace desktop_test
