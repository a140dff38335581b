// The worksheet window without the Compute command: start-up, the grid
// following the covariate field, key filters and length limits, focus moves,
// the notes, Clear Data and Exit.
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

#include "desktop_fixture.h"
#include "analysis/worksheet/input_rules.h"

namespace desktop_test {
namespace {

class Worksheet : public DesktopTest {
protected:
    QString Cell(int row, int column) { return Grid().CellText(row, column); }
    static QWidget* Focused() { return QApplication::focusWidget(); }

    // Types into a numeric field as the user would (key by key).
    void Type(QWidget* target, const char* text) { QTest::keyClicks(target, QString::fromLatin1(text)); }
    void Retype(QLineEdit* field, const char* text)
    {
        field->setFocus();
        field->selectAll();
        Type(field, text);
    }

    // Puts the grid's editor on a cell, as clicking it does.
    QLineEdit* EditCell(int row, int column)
    {
        Grid().setFocus();
        Grid().setCurrentCell(row, column);
        QLineEdit* editor = Grid().Editor();
        EXPECT_NE(editor, nullptr);
        return editor;
    }

    // The grid shows min(rows, 6) whole rows (scrolling to the rest, never a
    // sliver of the next row), every column whole, centred in its panel, each
    // heading over its column.
    void ExpectGridShows(int rows)
    {
        QApplication::processEvents();
        EXPECT_EQ(Grid().rowCount(), rows);
        EXPECT_EQ(Grid().verticalScrollBar()->isVisible(), rows > 6) << rows;
        const int shown = std::min(rows, 6);
        const int rowHeight = Grid().rowHeight(0);
        if (rows > 6) {
            EXPECT_EQ(Grid().viewport()->height(), shown * rowHeight) << rows;
        }
        EXPECT_GE(Grid().viewport()->height(), shown * rowHeight) << rows;
        EXPECT_LT(Grid().viewport()->height(), (shown + 1) * rowHeight) << rows;
        EXPECT_GE(Grid().viewport()->width(), Grid().horizontalHeader()->length()) << rows;
        EXPECT_NEAR(Grid().geometry().center().x(), W().Panel1->contentsRect().center().x(), 2) << rows;
        for (int n = 1; n <= 4; ++n) {
            QLabel* heading = W().lblCols[n - 1];
            const int middle = Grid().viewport()->mapFrom(W().Panel1, heading->geometry().center()).x();
            EXPECT_GE(middle, Grid().columnViewportPosition(n)) << n;
            EXPECT_LT(middle, Grid().columnViewportPosition(n) + Grid().columnWidth(n)) << n;
            EXPECT_LE(heading->geometry().bottom(), Grid().geometry().top()) << n;
        }
    }
};

TEST_F(Worksheet, FreshStartShowsDefaultsAndTheLayout)
{
    Start();
    EXPECT_EQ(W().windowTitle(), "Harrow: Untitled worksheet[*]");
    EXPECT_FALSE(W().isWindowModified());
    EXPECT_EQ(W().Label1->text(), "Number of co&variates : ");
    EXPECT_EQ(W().Label2->text(), "Sample size (&N) of control sample:");
    EXPECT_EQ(W().cmdCompute->text(), "&Continue");
    EXPECT_EQ(W().btnclearData->text(), "C&lear Data");
    EXPECT_EQ(W().ExitBtn->text(), "E&xit");
    EXPECT_TRUE(W().RadioItems[0]->isChecked());
    EXPECT_EQ(W().RadioItems[1]->text(), "One-sided  lo&wer");
    for (int f = 0; f < 8; ++f) {
        EXPECT_EQ(W().txtInputs[f]->isVisible(), f < 2) << f;
        EXPECT_EQ(W().Labels[f]->isVisible(), f < 2) << f;
        EXPECT_TRUE(W().txtInputs[f]->text().isEmpty());
    }
    EXPECT_EQ(W().txtInputs[7]->objectName(), "txtinput8");

    // Four rows, default names, row numbers, headings above the columns.
    ExpectGridShows(4);
    const char* names[4] = {"Task", "Cov 1", "Cov 2", "Cov 3"};
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(Cell(r, 0), QString::number(r + 1));
        EXPECT_FALSE(Grid().item(r, 0)->flags() & Qt::ItemIsEditable);
        EXPECT_EQ(Cell(r, 1), names[r]);
        for (int c = 2; c <= 4; ++c) EXPECT_TRUE(Cell(r, c).isEmpty());
    }
    const char* headings[5] = {"Name", "Mean", "SD", "Score", ""};
    for (int n = 1; n <= 6; ++n) {
        EXPECT_EQ(W().lblCols[n - 1]->isVisible(), n <= 4) << n;
        if (n <= 4) {
            EXPECT_EQ(W().lblCols[n - 1]->text(), headings[n - 1]);
        }
    }
    EXPECT_EQ(W().lblItems->text(), "Test No.");

    // The description: what the program does, that results can be viewed,
    // printed or saved, and the build date in parentheses.
    const QString description = W().DescripFld->toPlainText();
    EXPECT_GT(description.size(), 550);
    EXPECT_TRUE(description.contains(QStringLiteral("viewed, printed or saved")));
    EXPECT_TRUE(description.contains(QStringLiteral("(Built ")));
    EXPECT_TRUE(description.endsWith(QLatin1Char(')')));
    EXPECT_EQ(W().DescripFld->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(W().DescripFld->isReadOnly());

    // Shown with an empty covariate field: the focus is there; activation
    // made the task's mean the current cell.
    EXPECT_EQ(Focused(), W().txtInput1);
    EXPECT_EQ(Grid().currentRow(), 0);
    EXPECT_EQ(Grid().currentColumn(), 2);
    EXPECT_FALSE(W().Data().PreviousDataLoaded);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Worksheet, GridRowsFollowTheCovariateField)
{
    Start();
    Type(W().txtInput1, "3");
    ExpectGridShows(4);
    for (int r = 0; r < 4; ++r) EXPECT_EQ(Cell(r, 0), QString::number(r + 1));
    EXPECT_EQ(Cell(3, 1), "Cov 3");

    // 13: the warning on key release, the field reads 12, 13 rows of which
    // six show, with room for the scroll bar.
    Retype(W().txtInput1, "13");
    EXPECT_EQ(Texts(MessageKind::Warning), std::vector<std::string>{"Maximum size of grid is 12 rows."});
    EXPECT_EQ(W().txtInput1->text(), "12");
    ExpectGridShows(13);
    EXPECT_EQ(Cell(12, 0), "13");
    EXPECT_EQ(Cell(6, 1), "Cov 6");
    EXPECT_TRUE(Cell(7, 1).isEmpty());

    messages.Clear();
    Retype(W().txtInput1, "7");
    ExpectGridShows(8);
    Retype(W().txtInput1, "5");
    ExpectGridShows(6);

    // 0 leaves the task alone; an empty field leaves the grid alone; so does
    // a text that is not a whole number, with the integer-conversion message.
    Retype(W().txtInput1, "0");
    EXPECT_EQ(Grid().rowCount(), 1);
    Retype(W().txtInput1, "5");
    EXPECT_EQ(Grid().rowCount(), 6);
    W().txtInput1->selectAll();
    QTest::keyClick(W().txtInput1, Qt::Key_Backspace);
    EXPECT_EQ(W().txtInput1->text(), "");
    EXPECT_EQ(Grid().rowCount(), 6);
    EXPECT_TRUE(messages.shown.empty());

    Retype(W().txtInput1, "2.5");
    EXPECT_EQ(Grid().rowCount(), 3);  // from the "2"
    ASSERT_FALSE(Texts(MessageKind::Error).empty());
    EXPECT_EQ(Texts(MessageKind::Error).back(), "'2.5' is not a valid integer value");

    // Typed names survive rows going and coming back.
    messages.Clear();
    Grid().SetCellText(2, 1, QStringLiteral("Age"));
    Retype(W().txtInput1, "1");
    EXPECT_EQ(Grid().rowCount(), 2);
    Retype(W().txtInput1, "3");
    EXPECT_EQ(Cell(2, 1), "Age");
    EXPECT_EQ(Cell(3, 1), "Cov 3");

    // A letter: the parser's warning; the grid stays.
    messages.Clear();
    Type(W().txtInput1, "x");
    EXPECT_EQ(Grid().rowCount(), 4);
    ASSERT_FALSE(Texts(MessageKind::Warning).empty());
    EXPECT_EQ(Texts(MessageKind::Warning).front(), InvalidEntryMessage);
}

TEST_F(Worksheet, NumericFieldsFilterKeysAndKeepSixCharacters)
{
    Start();
    QLineEdit* field = W().txtInput2;
    field->setFocus();
    Type(field, "1a");
    EXPECT_EQ(field->text(), "1");
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_EQ(Texts(MessageKind::Warning), std::vector<std::string>{KeyRefusedMessage});

    messages.Clear();
    Type(field, ",5 ");
    EXPECT_EQ(field->text(), "1.5");
    EXPECT_EQ(Texts(MessageKind::Warning).size(), 1u);  // the blank

    // A shortcut's control character is no typed key: no box.
    messages.Clear();
    QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QString(QChar(0x01)));
    QApplication::sendEvent(field, &selectAll);
    EXPECT_TRUE(messages.shown.empty());

    // The seventh character is cut off on key release.
    messages.Clear();
    field->clear();
    Type(field, "1234567");
    EXPECT_EQ(field->text(), "123456");
    EXPECT_EQ(field->selectedText(), "123456");
    EXPECT_EQ(Texts(MessageKind::Warning), std::vector<std::string>{MaxInputLengthMessage});
    EXPECT_EQ(messages.beeps, 1);

    // Arrows and Delete type nothing and pass.
    messages.Clear();
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_Delete);
    EXPECT_EQ(field->text(), "23456");
    EXPECT_TRUE(messages.shown.empty());

    // The covariate field takes every key.
    Type(W().txtInput1, "2");
    messages.Clear();
    EXPECT_EQ(W().Data().fields[1], "23456");
}

TEST_F(Worksheet, GridCellsFilterKeysInTheNumberColumnsOnly)
{
    Start();
    QLineEdit* mean = EditCell(0, 2);
    ASSERT_NE(mean, nullptr);
    Type(mean, "1a,5");
    EXPECT_EQ(Cell(0, 2), "1.5");
    EXPECT_EQ(Texts(MessageKind::Warning), std::vector<std::string>{KeyRefusedMessage});
    EXPECT_EQ(messages.beeps, 1);

    messages.Clear();
    Type(Grid().Editor(), "234");
    EXPECT_TRUE(messages.shown.empty());
    Type(Grid().Editor(), "5");
    EXPECT_EQ(Cell(0, 2), "1.52345");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Focused(), Grid().Editor());
    EXPECT_EQ(W().Data().Cell(0, 2), "1.52345");

    // Names take any key, and longer names without a warning.
    messages.Clear();
    QLineEdit* name = EditCell(1, 1);
    name->selectAll();
    Type(name, "Age x");
    Type(name, "yz");
    EXPECT_EQ(Cell(1, 1), "Age xyz");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(W().Data().Cell(1, 1), "Age xyz");

    // The key that closes a message box is released in the cell without a
    // press there: no new warning.
    messages.Clear();
    QTest::keyRelease(Grid().Editor(), Qt::Key_Return);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Worksheet, TabWalksTheWindowAndTheGridCells)
{
    Start();
    EXPECT_EQ(Focused(), W().txtInput1);
    Type(W().txtInput1, "1");
    QTest::keyClick(Focused(), Qt::Key_Tab);
    EXPECT_EQ(Focused(), W().txtInput2);
    // Leaving the covariate field made the task's name the current cell.
    EXPECT_EQ(Grid().currentColumn(), 1);
    EXPECT_EQ(Grid().currentRow(), 0);
    QTest::keyClick(Focused(), Qt::Key_Tab);
    EXPECT_EQ(Focused(), static_cast<QWidget*>(W().chkExact));
    QTest::keyClick(Focused(), Qt::Key_Tab);
    EXPECT_EQ(Focused(), W().RadioItems[0]);
    for (int i = 0; i < 3 && !Grid().Owns(Focused()); ++i) QTest::keyClick(Focused(), Qt::Key_Tab);
    ASSERT_TRUE(Grid().Owns(Focused()));
    // Two rows: Name, Mean, SD, Score of the task, then of the covariate.
    for (int step = 0; step < 8; ++step) {
        EXPECT_EQ(Grid().currentRow(), step / 4) << step;
        EXPECT_EQ(Grid().currentColumn(), step % 4 + 1) << step;
        ASSERT_NE(Grid().Editor(), nullptr);
        EXPECT_EQ(Focused(), Grid().Editor());
        QTest::keyClick(Focused(), Qt::Key_Tab);
    }
    EXPECT_EQ(Focused(), W().cmdCompute);
    // The grid was left: its current cell is the task's name again.
    EXPECT_EQ(Grid().currentRow(), 0);
    EXPECT_EQ(Grid().currentColumn(), 1);
    QTest::keyClick(Focused(), Qt::Key_Backtab);
    EXPECT_TRUE(Grid().Owns(Focused()));
    QTest::keyClick(Focused(), Qt::Key_Backtab);
    EXPECT_FALSE(Grid().Owns(Focused()));
    W().cmdCompute->setFocus();
    QTest::keyClick(W().cmdCompute, Qt::Key_Tab);
    QTest::keyClick(Focused(), Qt::Key_Tab);
    EXPECT_EQ(Focused(), W().btnCaseSeries);
    QTest::keyClick(Focused(), Qt::Key_Tab);
    QTest::keyClick(Focused(), Qt::Key_Tab);
    EXPECT_EQ(Focused(), W().memoComments);
}

TEST_F(Worksheet, NotesGrowWhenTheyHoldMoreThanOneLine)
{
    Start();
    QPlainTextEdit* notes = W().memoComments;
    notes->setFocus();
    QTest::keyClicks(notes, "one");
    EXPECT_EQ(notes->height(), 25);
    QTest::keyClick(notes, Qt::Key_Return);
    EXPECT_EQ(notes->height(), 70);
    QTest::keyClicks(notes, "two");
    W().txtInput2->setFocus();
    EXPECT_EQ(notes->height(), 25);
    notes->setFocus();
    EXPECT_EQ(notes->height(), 70);
    EXPECT_EQ(W().Data().notes, (std::vector<std::string>{"one", "two"}));

    // 250 characters at most.
    notes->setPlainText(QString(300, QLatin1Char('n')));
    EXPECT_EQ(notes->toPlainText().size(), 250);
}

TEST_F(Worksheet, ClearDataEmptiesEverythingAndDeletesTheFile)
{
    {
        std::ofstream(DataPath(), std::ios::binary)
            << "1\r\n20\r\nTask\r\n50\r\n10\r\n30\r\nAge\r\n10\r\n2\r\n8\r\n1.000\r\n0.500\r\n1.000\r\n";
    }
    Start();
    EXPECT_EQ(W().txtInput1->text(), "1");
    EXPECT_EQ(Cell(1, 1), "Age");
    W().memoComments->setPlainText(QStringLiteral("a note"));
    W().RadioItems[2]->setChecked(true);
    const std::string kept = FileText(DataPath());

    // Asked first: No keeps everything.
    messages.ScriptAnswers({Answer::No});
    QTest::mouseClick(W().btnclearData, Qt::LeftButton);
    ASSERT_EQ(Texts(MessageKind::Confirmation).size(), 1u);
    EXPECT_EQ(W().txtInput1->text(), "1");
    EXPECT_EQ(FileText(DataPath()), kept);
    messages.Clear();

    QTest::mouseClick(W().btnclearData, Qt::LeftButton);
    EXPECT_EQ(Texts(MessageKind::Confirmation).size(), 1u);
    messages.Clear();
    EXPECT_EQ(W().btnclearData->text(), "&Undo Clear");

    EXPECT_FALSE(fs::exists(DataPath()));
    EXPECT_TRUE(W().txtInput1->text().isEmpty());
    EXPECT_TRUE(W().txtInput2->text().isEmpty());
    EXPECT_TRUE(W().memoComments->toPlainText().isEmpty());
    EXPECT_EQ(Grid().rowCount(), 2);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(Cell(r, 0), QString::number(r + 1));
        for (int c = 1; c <= 4; ++c) EXPECT_TRUE(Cell(r, c).isEmpty()) << r << "," << c;
    }
    const WorksheetData& data = W().Data();
    EXPECT_EQ(data.StoredCorrelations[1][2], 0.0);
    EXPECT_EQ(data.StoredCorrelations[2][2], 1.0);
    EXPECT_TRUE(data.PreviousDataLoaded);  // as read at start-up
    EXPECT_EQ(data.credibleLimit, OneSidedUpper);
    EXPECT_EQ(Focused(), W().txtInput1);
    EXPECT_TRUE(messages.shown.empty());

    // Undo brings the worksheet and its file back, once.
    QTest::mouseClick(W().btnclearData, Qt::LeftButton);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(W().txtInput1->text(), "1");
    EXPECT_EQ(Cell(1, 1), "Age");
    EXPECT_EQ(W().memoComments->toPlainText(), "a note");
    EXPECT_EQ(FileText(DataPath()), kept);
    EXPECT_EQ(W().btnclearData->text(), "C&lear Data");
    QTest::mouseClick(W().btnclearData, Qt::LeftButton);
    EXPECT_EQ(Texts(MessageKind::Confirmation).size(), 1u);
    EXPECT_FALSE(fs::exists(DataPath()));
    // Continue ends the chance to undo.
    QTest::mouseClick(W().cmdCompute, Qt::LeftButton);
    EXPECT_EQ(W().btnclearData->text(), "C&lear Data");

    // The next start has the default names again.
    Start();
    EXPECT_EQ(Grid().rowCount(), 4);
    EXPECT_EQ(Cell(1, 1), "Cov 1");
    EXPECT_FALSE(W().Data().PreviousDataLoaded);
}

TEST_F(Worksheet, ADamagedDataFileIsReportedAndWhatWasReadIsKept)
{
    { std::ofstream(DataPath(), std::ios::binary) << "1\r\nabc\r\n"; }
    Start();
    EXPECT_EQ(Texts(MessageKind::Error), std::vector<std::string>{"Invalid numeric input"});
    EXPECT_EQ(W().txtInput1->text(), "1");
    EXPECT_FALSE(W().Data().PreviousDataLoaded);
    EXPECT_TRUE(W().isVisible());
}

TEST_F(Worksheet, ExitAndAWindowCloseAskFirst)
{
    Start();
    messages.ScriptAnswers({Answer::No});
    W().ExitBtn->click();
    EXPECT_EQ(Texts(MessageKind::Confirmation), std::vector<std::string>{"Exit from program?"});
    EXPECT_EQ(quits, 0);

    messages.Clear();
    messages.ScriptAnswers({Answer::No});
    EXPECT_FALSE(W().close());
    EXPECT_EQ(Texts(MessageKind::Confirmation), std::vector<std::string>{"Exit from program?"});
    EXPECT_TRUE(W().isVisible());
    EXPECT_EQ(quits, 0);

    messages.Clear();
    EXPECT_TRUE(W().close());  // Yes
    EXPECT_EQ(quits, 1);

    Start();
    W().ExitBtn->click();  // Yes
    EXPECT_EQ(quits, 2);
}

TEST_F(Worksheet, EnterOnAFocusedButtonPressesIt)
{
    Start();
    // "Continue" with nothing filled in: the first refusal.
    W().cmdCompute->setFocus(Qt::TabFocusReason);
    QTest::keyClick(W().cmdCompute, Qt::Key_Return);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.substr(0, 11), "INPUT ERROR");
    EXPECT_EQ(Focused(), W().txtInput1);

    messages.Clear();
    messages.ScriptAnswers({Answer::No});
    W().ExitBtn->setFocus(Qt::TabFocusReason);
    QTest::keyClick(W().ExitBtn, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Texts(MessageKind::Confirmation), std::vector<std::string>{"Exit from program?"});
    EXPECT_EQ(quits, 0);

    // A held key presses once; Enter with a modifier is not a press.
    messages.Clear();
    W().txtInput1->setText(QStringLiteral("1"));
    W().btnclearData->setFocus(Qt::TabFocusReason);
    QTest::keyPress(W().btnclearData, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(W().txtInput1->text(), "1");
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(W().btnclearData, &repeat);
    EXPECT_EQ(W().txtInput1->text(), "1");
    QTest::keyClick(W().btnclearData, Qt::Key_Return);
    EXPECT_TRUE(W().txtInput1->text().isEmpty());
    EXPECT_EQ(Texts(MessageKind::Confirmation).size(), 1u);  // Clear Data asks, once
}

TEST_F(Worksheet, EnterInAFieldRunsContinueAndInTheGridMovesDown)
{
    Start();
    // Nothing filled in: Continue's first refusal, focus back on the field.
    Type(W().txtInput2, "20");
    QTest::keyClick(W().txtInput2, Qt::Key_Return);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.substr(0, 11), "INPUT ERROR");
    EXPECT_EQ(Focused(), W().txtInput1);

    messages.Clear();
    QLineEdit* editor = EditCell(0, MeanColumn);
    QTest::keyClicks(editor, "50");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(Cell(0, MeanColumn), "50");
    EXPECT_EQ(Grid().currentRow(), 1);
    EXPECT_EQ(Grid().currentColumn(), MeanColumn);
    QTest::keyClick(Grid().Editor(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Grid().currentRow(), 2);
    EXPECT_TRUE(messages.shown.empty());
}

// Every button, choice and menu is reached by its own Alt letter; the menu
// items show their shortcuts; Alt+D goes to the grid, Alt+V to the covariates.
TEST_F(Worksheet, EveryCommandHasItsOwnMnemonicAndTheMenusShowTheirShortcuts)
{
    Start();
    QStringList captions;
    for (QAbstractButton* button : W().findChildren<QAbstractButton*>())
        if (button->isVisibleTo(&W()) && !button->text().isEmpty()) captions << button->text();
    for (QLabel* label : W().findChildren<QLabel*>())
        if (label->buddy() && label->isVisibleTo(&W())) captions << label->text();
    for (QAction* menu : W().menuBar_->actions()) captions << menu->text();
    QSet<QChar> letters;
    for (const QString& caption : captions) {
        const int mark = caption.indexOf(QLatin1Char('&'));
        ASSERT_GE(mark, 0) << caption.toStdString();
        EXPECT_FALSE(letters.contains(caption.at(mark + 1).toLower())) << caption.toStdString();
        letters.insert(caption.at(mark + 1).toLower());
    }
    for (QAction* item : W().menuBar_->actions().front()->menu()->actions())
        if (!item->isSeparator() && !item->menu()) {
            EXPECT_FALSE(item->shortcut().isEmpty()) << item->text().toStdString();
        }

    QTest::keyClick(Focused(), Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(Grid().Owns(Focused()));
    QTest::keyClick(Focused(), Qt::Key_V, Qt::AltModifier);
    EXPECT_EQ(Focused(), W().txtInput1);
}

}  // namespace
}  // namespace desktop_test

// What the windows show whole, measured with the font metrics of the fonts
// they draw in: six digits in the bold fields, "-0.999" in a matrix cell,
// names level with their rows and columns; and the worksheet's content laid
// out without overlaps at any size, reflowing as the window is resized.
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include "desktop_fixture.h"

namespace desktop_test {
namespace {

// The room a line edit leaves for its text: its frame, the two pixels it
// keeps on either side, any text margins and the cursor.
int TextRoom(const QLineEdit* edit)
{
    const int frame = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit) : 0;
    const QMargins margins = edit->textMargins();
    return edit->width() - 2 * frame - 2 * 2 - margins.left() - margins.right() - 1;
}

class Layout : public DesktopTest {
protected:
    // No two visible controls of one panel overlap, and each lies within its
    // panel; returns how many were looked at.
    int ExpectNothingOverlaps(QWidget* panel)
    {
        int looked = 0;
        std::vector<QWidget*> shown;
        for (QObject* child : panel->children()) {
            auto* widget = qobject_cast<QWidget*>(child);
            if (!widget || !widget->isVisibleTo(panel) || widget->isWindow()) continue;
            shown.push_back(widget);
        }
        for (std::size_t i = 0; i < shown.size(); ++i) {
            ++looked;
            EXPECT_TRUE(panel->rect().contains(shown[i]->geometry())) << shown[i]->objectName().toStdString();
            for (std::size_t j = i + 1; j < shown.size(); ++j)
                EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                    << shown[i]->objectName().toStdString() << " / " << shown[j]->objectName().toStdString();
        }
        return looked;
    }
    QScrollArea* Scroll() { return W().findChild<QScrollArea*>(QStringLiteral("contentScroll")); }
};

TEST_F(Layout, TheWorksheetFitsItsScreenAndReflowsWhenResized)
{
    Start();
    W().txtInput1->setText(QStringLiteral("12"));  // the tallest grid
    // Shown: the whole window, title bar room included, lies on the screen.
    // The default size (before a screen cuts it down) fits a 1366 x 768
    // screen, with room for a title bar and a panel.
    const QSize natural = TfrmTemplate(folder).size();
    EXPECT_LE(natural.width(), 1366);
    EXPECT_LE(natural.height(), 768 - 60);
    const QRect screen = W().screen()->availableGeometry();
    EXPECT_GE(W().frameGeometry().top(), screen.top());
    EXPECT_GE(W().frameGeometry().left(), screen.left());
    EXPECT_LE(W().height(), screen.height());

    const struct {
        QSize size;
        bool scrolls;  // smaller than the content: it scrolls, nothing is cut off
    } sizes[] = {{natural, false}, {{1300, 740}, false}, {{500, 380}, true}};
    int descriptionWidth = 0;
    for (const auto& c : sizes) {
        SCOPED_TRACE(c.size.width());
        W().resize(c.size);
        QApplication::processEvents();
        EXPECT_EQ(W().size(), c.size);
        EXPECT_EQ(Scroll()->verticalScrollBar()->isVisible() || Scroll()->horizontalScrollBar()->isVisible(), c.scrolls);
        QWidget* content = Scroll()->widget();
        EXPECT_GT(ExpectNothingOverlaps(content), 3);
        EXPECT_GT(ExpectNothingOverlaps(W().Panel1), 10);
        EXPECT_GT(ExpectNothingOverlaps(W().pnlButtons), 3);
        // The description and the panels take the width they are given.
        if (!c.scrolls) {
            EXPECT_GT(W().DescripFld->width(), descriptionWidth);
            descriptionWidth = W().DescripFld->width();
            EXPECT_NEAR(W().Panel1->width(), content->width() - 24, 2);
        }
        EXPECT_NEAR(Grid().geometry().center().x(), W().Panel1->contentsRect().center().x(), 2);
    }
}

TEST_F(Layout, SixDigitsShowWholeInEveryNumericField)
{
    Start();
    W().txtInput1->setText(QStringLiteral("5"));
    for (QLineEdit* field : W().txtInputs) {
        EXPECT_LE(field->fontMetrics().horizontalAdvance(QStringLiteral("999999")), TextRoom(field))
            << field->objectName().toStdString();
        EXPECT_TRUE(field->font().bold());
    }
}

TEST_F(Layout, MatrixCellsAreWideEnoughAndLevelWithTheirNames)
{
    AnswerNextModal([](QWidget* window) {
        QWidget* content = MatrixCell(window, 1, 1)->parentWidget();
        for (int i = 1; i <= 6; ++i) {
            for (int j = 1; j <= i; ++j) {
                QLineEdit* cell = MatrixCell(window, j, i);
                ASSERT_NE(cell, nullptr);
                EXPECT_LE(cell->fontMetrics().horizontalAdvance(QStringLiteral("-0.999")), TextRoom(cell));
                EXPECT_LE(cell->fontMetrics().height(), cell->height());
            }
        }
        // Each name is level with its row, or centred over its column.
        int rowNames = 0, columnNames = 0;
        for (QLabel* label : content->findChildren<QLabel*>()) {
            const int n = label->text().mid(1).toInt();
            if (n < 1) continue;
            const QRect g = label->geometry();
            if (g.right() < MatrixCell(window, 1, 1)->geometry().left()) {
                ++rowNames;
                EXPECT_NEAR(g.center().y(), MatrixCell(window, 1, n)->geometry().center().y(), 1) << n;
            } else {
                ++columnNames;
                const QRect cell = MatrixCell(window, n, 6)->geometry();
                EXPECT_NEAR(g.center().x(), cell.center().x(), 1) << n;
                EXPECT_LT(g.bottom(), MatrixCell(window, n, n)->geometry().top()) << n;
            }
        }
        EXPECT_EQ(rowNames, 6);
        EXPECT_EQ(columnNames, 6);
        MatrixButtonNamed(window, "ReturnBtn")->click();
    });
    auto buffer = std::make_unique<tMatrixEntryBuffer>();
    for (int j = 1; j <= 6; ++j) (*buffer)[j][j] = 1.0;
    EnterSquareMatrix(*buffer, 6, 6, "Matrix Entry", {"V1", "V2", "V3", "V4", "V5", "V6"}, nullptr, true);
    EXPECT_TRUE(MatrixCancelled);
}

}  // namespace
}  // namespace desktop_test

// "About Harrow" from the Help menu of both windows, opened with the mouse:
// the box names the version the project was built as, the licence and how to
// cite the program.
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "desktop_fixture.h"

namespace desktop_test {
namespace {

class AboutBox : public DesktopTest {
protected:
    // Clicks Help in the window's menu bar, then About Harrow in the menu,
    // and returns the texts the box shows.
    QString AboutTextFrom(QWidget* window)
    {
        auto* bar = window->findChild<QMenuBar*>();
        EXPECT_NE(bar, nullptr);
        if (!bar) return QString();
        QAction* help = nullptr;
        for (QAction* action : bar->actions())
            if (action->text() == QStringLiteral("&Help")) help = action;
        EXPECT_NE(help, nullptr);
        if (!help) return QString();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(help).center());
        QMenu* menu = help->menu();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(menu, kGenerousWaitMs));
        QAction* about = menu->actions().value(0);
        EXPECT_EQ(about->text(), QStringLiteral("&About Harrow"));
        QString shown;
        AnswerNextModal([&shown](QWidget* box) {
            EXPECT_EQ(box->windowTitle(), QStringLiteral("About Harrow"));
            for (const QLabel* label : box->findChildren<QLabel*>()) shown += label->text() + '\n';
        });
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(about).center());
        return shown;
    }
};

TEST_F(AboutBox, BothWindowsShowTheVersionTheLicenceAndTheCitation)
{
    Start();
    results->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(results.get(), kGenerousWaitMs));
    const QString version = QStringLiteral(HARROW_PROJECT_VERSION);
    for (QWidget* window : {static_cast<QWidget*>(&W()), static_cast<QWidget*>(results.get())}) {
        window->activateWindow();
        const QString shown = AboutTextFrom(window);
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_TRUE(shown.startsWith("Harrow " + version + '\n')) << shown.toStdString();
        EXPECT_TRUE(shown.contains("GNU General Public License, version 3 or later")) << shown.toStdString();
        EXPECT_TRUE(shown.contains("Harrow (Version " + version + ") [Computer software]")) << shown.toStdString();
    }
}

}  // namespace
}  // namespace desktop_test
