// Typing and pasting into the worksheet as people do, with real key and
// mouse events into the real fields and cell editor: long entries kept,
// shortcuts raise no box, a spreadsheet's rows paste from the chosen cell and
// a block copies out; the boxes refusing a key or cutting an entry close
// with Enter and typing goes on in the same place.
#include <QClipboard>
#include <QMessageBox>

#include "desktop_fixture.h"
#include "analysis/worksheet/cell_lengths.h"
#include "analysis/worksheet/input_rules.h"
#include "desktop/dialogs/qt_messages.h"

namespace desktop_test {
namespace {

class WorksheetTyping : public DesktopTest {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        Start();
        QTest::keyClicks(W().txtInput1, "2");
    }
};

TEST_F(WorksheetTyping, LongNamesAndNumbersAreKeptWithoutABox)
{
    struct Case {
        int row, column;
        const char* typed;
    };
    const Case cases[] = {
        {0, NameColumn, "Verbal fluency"}, {1, NameColumn, "Education"}, {0, MeanColumn, "1043.25"},
        {0, SDColumn, "12.3456"},          {1, ScoreColumn, "-12.345"},  {1, MeanColumn, "123456789012345"},
    };
    for (const Case& c : cases) {
        QLineEdit* editor = EditCell(c.row, c.column);
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, c.typed);
        EXPECT_EQ(Grid().CellText(c.row, c.column), c.typed);
        EXPECT_EQ(W().Data().Cell(c.row, c.column), c.typed);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(WorksheetTyping, ShortcutsInACellOrFieldRaiseNoBox)
{
    QLineEdit* editor = EditCell(0, MeanColumn);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "50");
    for (QWidget* target : {static_cast<QWidget*>(editor), static_cast<QWidget*>(W().txtInput2)}) {
        QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(target, Qt::Key_F, Qt::AltModifier);
        // As some platforms send Ctrl+A: with its control character as text.
        QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QString(QChar(0x01)));
        QApplication::sendEvent(target, &selectAll);
    }
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(QApplication::clipboard()->text(), "50");
}

struct PasteCase {
    const char* what;
    int row, column;       // where the paste starts
    const char* clipboard;
    std::vector<std::tuple<int, int, const char*>> cells;  // row, column, text afterwards
    const char* refusal;   // "" when none
};

void PrintTo(const PasteCase& c, std::ostream* os) { *os << c.what; }

class GridPaste : public WorksheetTyping, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(GridPaste, LandsInTheCellsFromTheChosenOne)
{
    const PasteCase& c = GetParam();
    QApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
    QLineEdit* editor = EditCell(c.row, c.column);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    for (const auto& [row, column, text] : c.cells) {
        EXPECT_EQ(Grid().CellText(row, column), QString::fromUtf8(text)) << c.what << " " << row << "," << column;
        EXPECT_EQ(W().Data().Cell(row, column), text) << c.what;
    }
    if (*c.refusal) {
        ASSERT_EQ(messages.shown.size(), 1u) << c.what;
        EXPECT_EQ(messages.shown[0].kind, MessageKind::Warning);
        EXPECT_EQ(messages.shown[0].text, c.refusal);
    } else {
        EXPECT_TRUE(messages.shown.empty()) << c.what;
    }
}

const PasteCase pasteCases[] = {
    {"a spreadsheet row, tab-separated", 0, NameColumn, "Memory\t50\t10\t30\n",
     {{0, 1, "Memory"}, {0, 2, "50"}, {0, 3, "10"}, {0, 4, "30"}}, ""},
    {"three numbers into mean, SD, score", 1, MeanColumn, "10\t2\t8",
     {{1, 1, "Cov 1"}, {1, 2, "10"}, {1, 3, "2"}, {1, 4, "8"}}, ""},
    {"two rows, semicolons", 0, MeanColumn, "50;10;30\r\n10,5;2;8\r\n",
     {{0, 2, "50"}, {0, 3, "10"}, {0, 4, "30"}, {1, 2, "10,5"}, {1, 3, "2"}, {1, 4, "8"}}, ""},
    {"commas from a PDF", 0, NameColumn, "Memory, 50, 10, 30", {{0, 1, "Memory"}, {0, 4, "30"}}, ""},
    {"one value with a decimal comma", 0, MeanColumn, "40,5", {{0, 2, "40,5"}, {0, 3, ""}}, ""},
    {"beyond the last column and row: dropped", 2, ScoreColumn, "7\t8\n9\n1\n",
     {{2, 4, "7"}, {2, 3, ""}}, ""},
    {"a word in a number cell", 0, MeanColumn, "50\tten\t30",
     {{0, 2, "50"}, {0, 3, ""}, {0, 4, "30"}}, "\"ten\" is not a number: the SD of Task (Test No.1) takes numeric data only."},
};

INSTANTIATE_TEST_SUITE_P(Worksheet, GridPaste, ::testing::ValuesIn(pasteCases));

TEST_F(WorksheetTyping, APastedFieldTakesANumberAndRefusesTextOnce)
{
    W().txtInput2->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("24"));
    QTest::keyClick(W().txtInput2, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(W().txtInput2->text(), "24");
    EXPECT_TRUE(messages.shown.empty());

    W().txtInput2->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("twenty"));
    QTest::keyClick(W().txtInput2, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(W().txtInput2->text(), "24");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              std::string("\"twenty\" is not a number: ") + SampleSizeCaption + " takes numeric data only.");
}

TEST_F(WorksheetTyping, ABlockOfCellsCopiesOutAsASpreadsheetTakesIt)
{
    FillRow(0, "Memory", "50", "10", "30");
    FillRow(1, "Age", "40.5", "12", "45");
    auto click = [this](int row, int column, Qt::KeyboardModifiers modifiers) {
        const QRect cell = Grid().visualRect(Grid().model()->index(row, column));
        QTest::mouseClick(Grid().viewport(), Qt::LeftButton, modifiers, cell.center());
    };
    // One cell: its editor copies the text it holds, selected.
    click(1, 2, Qt::NoModifier);
    QTest::keyClick(Focused(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "40.5");
    // Shift+click spans a block; Ctrl+C copies it as rows of tab-separated cells.
    click(0, 1, Qt::NoModifier);
    click(1, 4, Qt::ShiftModifier);
    QTest::keyClick(Focused(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "Memory\t50\t10\t30\nAge\t40.5\t12\t45\n");
    // ... which pastes back as it came, here into the third row.
    click(2, 1, Qt::NoModifier);
    QTest::keyClick(Focused(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(W().Data().Cell(2, 4), "30");
    EXPECT_TRUE(messages.shown.empty());
}

// Answers every modal box that opens while it lives: records its text and
// closes it with Enter (key press, then the release the box no longer sees).
class BoxCloser {
public:
    BoxCloser()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            texts.push_back(box->text().toStdString());
            QTest::keyPress(box, Qt::Key_Return);
            if (QApplication::activeModalWidget() == box) box->reject();  // never left open
            releasePending_ = true;
        });
        timer_.start(5);
    }
    // The Return key's release reaches the control that has the focus once the
    // box has gone and the window is active again, as a person's release does;
    // sent from inside the box's own loop, it reached whatever had the focus
    // at that moment.
    void ReleaseReturn(QWidget* window)
    {
        if (!releasePending_) return;
        releasePending_ = false;
        ASSERT_TRUE(WaitUntilActive(window));
        if (QWidget* focus = QApplication::focusWidget()) QTest::keyRelease(focus, Qt::Key_Return);
    }
    std::vector<std::string> texts;

private:
    QTimer timer_;
    bool releasePending_ = false;
};

struct KeyBoxCase {
    const char* what;
    int field;        // worksheet field typed into, or -1 for a grid cell
    int row, column;  // the grid cell
    const char* typed;
    const char* box;  // the box the last key raises
    const char* after;  // the text the field or cell holds then
};

void PrintTo(const KeyBoxCase& c, std::ostream* os) { *os << c.what; }

class KeyEventBoxes : public DesktopTest, public ::testing::WithParamInterface<KeyBoxCase> {};

TEST_P(KeyEventBoxes, TheBoxClosesAndTypingGoesOnInTheSamePlace)
{
    const KeyBoxCase c = GetParam();
    platform::QtMessages boxes;  // real message boxes instead of the recorder
    platform::ScopedMessages realBoxes(boxes);
    Start();
    W().txtInput1->setText(QStringLiteral("1"));
    QLineEdit* target = c.field >= 0 ? W().txtInputs[c.field] : EditCell(c.row, c.column);
    ASSERT_NE(target, nullptr);
    target->setFocus();
    target->selectAll();
    {
        BoxCloser closer;
        for (const char* ch = c.typed; *ch; ++ch) {
            ASSERT_NE(Focused(), nullptr);
            QTest::keyClick(Focused(), *ch);
            QApplication::processEvents();  // what a running program does between keys
            closer.ReleaseReturn(worksheet.get());
        }
        QApplication::processEvents();
        // The row's box and no other: none for the keys before the last.
        ASSERT_FALSE(closer.texts.empty());
        for (const std::string& text : closer.texts)
            EXPECT_EQ(QString::fromStdString(text), QString::fromLatin1(c.box).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(WaitUntilActive(worksheet.get()));

    // The same control has the focus, and the next key goes on from there.
    if (c.field >= 0) {
        EXPECT_EQ(Focused(), target);
        EXPECT_EQ(target->text(), c.after);
        return;
    }
    EXPECT_EQ(Grid().CellText(c.row, c.column), c.after);
    EXPECT_EQ(Grid().currentRow() * 10 + Grid().currentColumn(), c.row * 10 + c.column);
    ASSERT_NE(Grid().Editor(), nullptr);
    EXPECT_EQ(Focused(), Grid().Editor());
    Grid().Editor()->end(false);
    QTest::keyClick(Grid().Editor(), Qt::Key_Backspace);
    EXPECT_EQ(Grid().CellText(c.row, c.column).size(), QString::fromLatin1(c.after).size() - 1);
}

const KeyBoxCase keyBoxCases[] = {
    {"name of 41 characters", -1, 0, 1, "Verbal fluency, phonemic, 60 s, words FAS", MaxNameLengthMessage,
     "Verbal fluency, phonemic, 60 s, words FA"},
    {"sixteen digits in a mean", -1, 0, 2, "1234567890.12345", MaxNumberLengthMessage, "1234567890.1234"},
    {"sixteen digits in an SD", -1, 0, 3, "1234567890123456", MaxNumberLengthMessage, "123456789012345"},
    {"sixteen digits in a score", -1, 1, 4, "-12345678901.234", MaxNumberLengthMessage, "-12345678901.23"},
    {"a letter in a mean", -1, 0, 2, "12a", KeyRefusedMessage, "12"},
    {"a comma after a refused letter in a mean", -1, 0, 2, "1a,52345", KeyRefusedMessage, "1.52345"},
    {"a comma and a blank in the sample size", 1, 0, 0, "1,5 ", KeyRefusedMessage, "1.5"},
    {"seven digits in the sample size", 1, 0, 0, "1234567", MaxInputLengthMessage, "123456"},
    {"a letter in the sample size", 1, 0, 0, "2a", KeyRefusedMessage, "2"},
    {"thirteen covariates", 0, 0, 0, "13", "Maximum size of grid is 12 rows.", "12"},
    {"a letter for the covariates", 0, 0, 0, "x", InvalidEntryMessage, "x"},
};

INSTANTIATE_TEST_SUITE_P(Worksheet, KeyEventBoxes, ::testing::ValuesIn(keyBoxCases));

}  // namespace
}  // namespace desktop_test
