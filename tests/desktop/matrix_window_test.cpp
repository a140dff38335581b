// The correlation-matrix entry window: its labels, the three buttons, the
// "0.000" questions, refused cells, paste and copy, its size, and every way
// out of it. The refusals' wording is the matrix entry rules' own tests'.
#include <functional>

#include <QClipboard>
#include <QGridLayout>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>

#include "desktop_fixture.h"
#include "analysis/worksheet/input_rules.h"

namespace desktop_test {
namespace {

class MatrixWindow : public DesktopTest {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        for (int j = 1; j <= 3; ++j) buffer[j][j] = 1.0;  // identity prefill
        owner = std::make_unique<QWidget>();
    }

    // Opens the window on the buffer's lower triangle (3 x 3 unless told
    // otherwise) and lets `inside` act on it; returns when it has closed.
    void Run(std::function<void(QWidget*)> inside, int columns = 3, int rows = 3)
    {
        bool ran = false;
        AnswerNextModal([&](QWidget* window) {
            ran = true;
            EXPECT_TRUE(WaitUntilActive(window));
            inside(window);
        });
        EnterSquareMatrix(buffer, columns, rows, "Matrix Entry", names, owner.get(), true);
        EXPECT_TRUE(ran);
    }

    // The label of the grid at (row, column) of its layout: names over the
    // columns (row 0), names before the rows (column 0).
    static QString GridLabel(QWidget* window, int row, int column)
    {
        auto* grid = qobject_cast<QGridLayout*>(MatrixCell(window, 1, 1)->parentWidget()->layout());
        QLayoutItem* item = grid ? grid->itemAtPosition(row, column) : nullptr;
        auto* label = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
        return label ? label->text() : QString();
    }

    tMatrixEntryBuffer buffer;
    std::vector<std::string> names{"Memory", "Years", "Age"};
    std::unique_ptr<QWidget> owner;
};

TEST_F(MatrixWindow, ThreeVariablesShowALowerTriangleNamedByTheVariables)
{
    names = {"Memory", "", "Age"};  // a blank name shows the variable's number
    Run([&](QWidget* window) {
        EXPECT_EQ(window->windowTitle(), "Matrix Entry");
        EXPECT_FALSE(window->windowFlags() & Qt::WindowCloseButtonHint);
        const char* labels[3] = {"Memory", "2", "Age"};
        for (int n = 1; n <= 3; ++n) {
            EXPECT_EQ(GridLabel(window, 0, n), labels[n - 1]) << n;
            EXPECT_EQ(GridLabel(window, n, 0), labels[n - 1]) << n;
        }
        for (int j = 1; j <= 3; ++j)
            for (int i = 1; i <= 3; ++i) {
                SCOPED_TRACE(testing::Message() << j << "x" << i);
                QLineEdit* cell = MatrixCell(window, j, i);
                ASSERT_EQ(cell == nullptr, j > i);
                if (!cell) continue;
                EXPECT_FALSE(cell->accessibleName().isEmpty());
                // The diagonal is fixed, blue and skipped by Tab.
                EXPECT_EQ(cell->text(), i == j ? "1.000" : "0.000");
                EXPECT_EQ(cell->isReadOnly(), i == j);
                EXPECT_EQ(bool(cell->focusPolicy() & Qt::TabFocus), i != j);
                if (i == j) {
                    EXPECT_EQ(cell->palette().color(QPalette::Text), QColor(Qt::blue));
                }
            }
        EXPECT_EQ(MatrixCell(window, 1, 3)->accessibleName(), "Correlation of Memory with Age");
        EXPECT_EQ(MatrixCell(window, 2, 3)->accessibleName(), "Correlation of variable 2 with Age");
        const char* buttons[3][2] = {{"CloseBtn", "&Continue"}, {"ClearBtn", "C&lear Data"},
                                     {"ReturnBtn", "&Return to Worksheet"}};
        for (const auto& [name, caption] : buttons) EXPECT_EQ(MatrixButtonNamed(window, name)->text(), caption);
        // The first cell the user can type into has the focus, its text selected.
        EXPECT_EQ(Focused(), MatrixCell(window, 1, 2));
        EXPECT_EQ(MatrixCell(window, 1, 2)->selectedText(), "0.000");
        // Tab skips the diagonal and goes round the buttons.
        for (const char* next : {"mat1x3", "mat2x3", "CloseBtn", "ClearBtn", "ReturnBtn", "mat1x2"}) {
            QTest::keyClick(Focused(), Qt::Key_Tab);
            ASSERT_NE(Focused(), nullptr);
            EXPECT_EQ(Focused()->objectName(), next);
        }
        MatrixButtonNamed(window, "ReturnBtn")->click();
    });
    EXPECT_TRUE(MatrixCancelled);
}

// The questions' order and which are asked again are the matrix entry
// rules' tests; the window stays open on the cell answered No, its text
// selected, and closes once every question is answered Yes.
TEST_F(MatrixWindow, NoToADefaultZeroQuestionKeepsTheWindowOpenOnThatCell)
{
    Run([&](QWidget* window) {
        QPushButton* proceed = MatrixButtonNamed(window, "CloseBtn");
        messages.ScriptAnswers({Answer::Yes, Answer::No});
        proceed->click();
        EXPECT_EQ(Texts(MessageKind::Confirmation),
                  (std::vector<std::string>{DefaultZeroQuestion(2, 1), DefaultZeroQuestion(3, 1)}));
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(Focused(), MatrixCell(window, 1, 3));
        EXPECT_EQ(MatrixCell(window, 1, 3)->selectedText(), "0.000");
        messages.Clear();
        proceed->click();
        EXPECT_EQ(Texts(MessageKind::Confirmation).size(), 2u);
        EXPECT_FALSE(window->isVisible());
    });
    EXPECT_FALSE(MatrixCancelled);
}

// Out of range, not a number, no digit ("-." or "."), empty: one warning,
// the window open on that cell with its text selected for retyping.
TEST_F(MatrixWindow, OutOfRangeAndUnreadableCellsAreRefusedWithTheFocusOnThem)
{
    Run([&](QWidget* window) {
        QLineEdit* cell = MatrixCell(window, 1, 3);
        MatrixCell(window, 1, 2)->setText(QStringLiteral("0.5"));
        for (const char* bad : {"1", "1.000", "-1", "1.5", "abc", "-.", ".", ""}) {
            SCOPED_TRACE(bad);
            messages.Clear();
            cell->setFocus();
            cell->selectAll();
            QTest::keyClick(cell, Qt::Key_Delete);
            QTest::keyClicks(cell, QString::fromLatin1(bad));
            MatrixButtonNamed(window, "CloseBtn")->click();
            ASSERT_EQ(Texts(MessageKind::Warning).size(), 1u);
            EXPECT_NE(Texts(MessageKind::Warning)[0].find("orrelation of Memory with Age must"), std::string::npos);
            EXPECT_EQ(Focused(), cell);
            EXPECT_EQ(cell->selectedText(), QString::fromLatin1(bad));
            EXPECT_EQ(QApplication::activeModalWidget(), window);
        }
        // Entries before the stop are kept in the buffer already.
        EXPECT_EQ(buffer[1][2], 0.5);

        // A number as long as a grid cell takes; a comma is a decimal point here.
        QTest::keyClicks(cell, "0.1234567890123456");
        EXPECT_EQ(cell->text(), "0.1234567890123");
        cell->setText(QStringLiteral("0,5"));
        MatrixCell(window, 2, 3)->setText(QStringLiteral("-0.999"));
        MatrixCell(window, 1, 2)->setText(QStringLiteral("0.999"));
        messages.Clear();
        MatrixButtonNamed(window, "CloseBtn")->click();
        EXPECT_TRUE(messages.shown.empty());
    });
    EXPECT_FALSE(MatrixCancelled);
    EXPECT_EQ(buffer[1][3], 0.5);
    EXPECT_EQ(buffer[3][1], 0.5);  // mirrored across the diagonal
    EXPECT_DOUBLE_EQ(buffer[2][3], -0.999);
    EXPECT_DOUBLE_EQ(buffer[1][2], 0.999);
}

// Clear Data asks; No keeps the cells shown, Yes shows them zeroed (what
// reaches the buffer, and the prefill's three decimals, are the matrix entry
// rules' tests) and the window stays.
TEST_F(MatrixWindow, ClearDataAsksAndZeroesTheCellsBelowTheDiagonal)
{
    buffer[1][2] = buffer[2][1] = 0.2;
    buffer[1][3] = buffer[3][1] = -0.4567;
    buffer[2][3] = buffer[3][2] = 0.12345;
    Run([&](QWidget* window) {
        messages.ScriptAnswers({Answer::No});
        QTest::mouseClick(MatrixButtonNamed(window, "ClearBtn"), Qt::LeftButton);
        EXPECT_EQ(Texts(MessageKind::Confirmation), std::vector<std::string>{"Clear data from matrix ?"});
        EXPECT_EQ(MatrixCell(window, 1, 2)->text(), "0.200");
        QTest::mouseClick(MatrixButtonNamed(window, "ClearBtn"), Qt::LeftButton);  // Yes
        for (auto [j, i] : {std::pair{1, 2}, {1, 3}, {2, 3}}) EXPECT_EQ(MatrixCell(window, j, i)->text(), "0.000");
        for (int d = 1; d <= 3; ++d) EXPECT_EQ(MatrixCell(window, d, d)->text(), "1.000");
        EXPECT_TRUE(window->isVisible());
        MatrixButtonNamed(window, "CloseBtn")->click();
    });
    EXPECT_FALSE(MatrixCancelled);
    EXPECT_EQ(buffer[2][1], 0.0);
    EXPECT_EQ(buffer[3][2], 0.0);
}

// Enter in a cell does nothing; Return (clicked, or Enter on it), Escape,
// Alt+R and the window manager's close all abandon what was typed.
TEST_F(MatrixWindow, EveryWayBackAbandonsTheEntry)
{
    const std::function<void(QWidget*)> ways[] = {
        [](QWidget* window) { MatrixButtonNamed(window, "ReturnBtn")->click(); },
        [](QWidget* window) {
            MatrixButtonNamed(window, "ReturnBtn")->setFocus(Qt::TabFocusReason);
            QTest::keyClick(Focused(), Qt::Key_Return);
        },
        [](QWidget*) { QTest::keyClick(Focused(), Qt::Key_Escape); },
        // A mnemonic clicks its button a moment later, as a click is shown.
        [](QWidget* window) { QTest::keyClick(window, Qt::Key_R, Qt::AltModifier); },
        [](QWidget* window) { window->close(); },  // Alt+F4
    };
    for (const auto& leave : ways) {
        MatrixCancelled = false;
        Run([&](QWidget* window) {
            QTest::keyClicks(MatrixCell(window, 1, 2), "0.7");
            QTest::keyClick(MatrixCell(window, 1, 2), Qt::Key_Return);
            EXPECT_TRUE(window->isVisible());
            leave(window);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 5000));
        });
        EXPECT_TRUE(MatrixCancelled);
        EXPECT_EQ(buffer[1][2], 0.0);
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST_F(MatrixWindow, CtrlVPastesAMatrixOrAValueAndCtrlCCopiesTheMatrix)
{
    Run([&](QWidget* window) {
        // A lower triangle as a spreadsheet copies it, into whichever cell.
        QApplication::clipboard()->setText(QStringLiteral("1\n0,5\t1\n0,25\t-0,3\t1\n"));
        QTest::keyClick(MatrixCell(window, 2, 3), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(MatrixCell(window, 1, 2)->text(), "0.5");
        EXPECT_EQ(MatrixCell(window, 1, 3)->text(), "0.25");
        EXPECT_EQ(MatrixCell(window, 2, 3)->text(), "-0.3");
        EXPECT_TRUE(messages.shown.empty());

        // A value out of range is refused once, naming the cell; nothing changes.
        QApplication::clipboard()->setText(QStringLiteral("1\t0.5\t0.2\n0.5\t1\t1.5\n0.2\t1.5\t1\n"));
        QTest::keyClick(MatrixCell(window, 1, 2), Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(Texts(MessageKind::Warning).size(), 1u);
        EXPECT_NE(Texts(MessageKind::Warning)[0].find("correlation of Years with Age"), std::string::npos);
        EXPECT_EQ(Focused(), MatrixCell(window, 2, 3));
        EXPECT_EQ(MatrixCell(window, 1, 2)->text(), "0.5");

        // One value goes into the focused cell.
        messages.Clear();
        QApplication::clipboard()->setText(QStringLiteral(" 0,4 "));
        QTest::keyClick(MatrixCell(window, 1, 3), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(MatrixCell(window, 1, 3)->text(), "0.4");
        EXPECT_TRUE(messages.shown.empty());

        QTest::keyClick(MatrixCell(window, 1, 3), Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text(),
                  "\tMemory\tYears\tAge\nMemory\t1.000\nYears\t0.5\t1.000\nAge\t0.4\t-0.3\t1.000\n");
        MatrixButtonNamed(window, "CloseBtn")->click();
    });
    EXPECT_FALSE(MatrixCancelled);
    EXPECT_DOUBLE_EQ(buffer[3][2], -0.3);
}

// Within the screen, a small matrix whole and a large one scrolled; an
// enlarged window shows more cells; "-0.999" shows whole in every cell, each
// variable's number level with its row or centred over its column.
TEST_F(MatrixWindow, FitsTheScreenWithCellsWideEnoughAndLevelWithTheirNames)
{
    names.clear();
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    for (int size : {3, 6, 30}) {
        SCOPED_TRACE(size);
        Run(
            [&](QWidget* window) {
                QScrollArea* scroller = window->findChild<QScrollArea*>();
                ASSERT_NE(scroller, nullptr);
                EXPECT_LE(window->width(), screen.width());
                EXPECT_LE(window->height(), screen.height());
                for (int i = 1; i <= size; ++i)
                    for (int j = 1; j <= i; ++j) {
                        QLineEdit* cell = MatrixCell(window, j, i);
                        ASSERT_NE(cell, nullptr);
                        EXPECT_LE(cell->fontMetrics().horizontalAdvance(QStringLiteral("-0.999")), TextRoom(cell));
                        EXPECT_LE(cell->fontMetrics().height(), cell->height());
                    }
                int rowNames = 0, columnNames = 0;
                for (QLabel* label : MatrixCell(window, 1, 1)->parentWidget()->findChildren<QLabel*>()) {
                    const int n = label->text().toInt();
                    if (n < 1) continue;
                    const QRect g = label->geometry();
                    if (g.right() < MatrixCell(window, 1, 1)->geometry().left()) {
                        ++rowNames;
                        EXPECT_NEAR(g.center().y(), MatrixCell(window, 1, n)->geometry().center().y(), 1) << n;
                    } else {
                        ++columnNames;
                        EXPECT_NEAR(g.center().x(), MatrixCell(window, n, size)->geometry().center().x(), 1) << n;
                        EXPECT_LT(g.bottom(), MatrixCell(window, n, n)->geometry().top()) << n;
                    }
                }
                EXPECT_EQ(rowNames, size);
                EXPECT_EQ(columnNames, size);
                QWidget* last = MatrixCell(window, size, size);
                const bool whole = scroller->viewport()->rect().contains(
                    last->mapTo(scroller->viewport(), last->rect().bottomRight()));
                EXPECT_EQ(whole, size < 30);
                const QSize before = scroller->viewport()->size();
                window->resize(window->size() + QSize(200, 150));
                QApplication::processEvents();
                EXPECT_EQ(scroller->viewport()->width(), before.width() + 200);
                EXPECT_GE(scroller->viewport()->height(), before.height() + 150);
                MatrixButtonNamed(window, "ReturnBtn")->click();
            },
            size, size);
    }
}

}  // namespace
}  // namespace desktop_test
