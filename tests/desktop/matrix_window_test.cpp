// The correlation-matrix entry window: its layout, the three buttons, the
// "0.000" questions, and every way out of it.
#include <QDialog>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

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

    // Opens the window on the buffer (3 x 3 lower triangle unless told
    // otherwise) and lets `inside` act on it; returns when it has closed.
    void Run(std::function<void(QWidget*)> inside, int columns = 3, int rows = 3, bool lower = true)
    {
        bool ran = false;
        AnswerNextModal([&](QWidget* window) {
            ran = true;
            EXPECT_TRUE(WaitUntilActive(window));
            inside(window);
        });
        EnterSquareMatrix(buffer, columns, rows, "Matrix Entry", "", "", owner.get(), lower);
        EXPECT_TRUE(ran);
    }

    static QWidget* Focused() { return QApplication::focusWidget(); }

    tMatrixEntryBuffer buffer;
    std::unique_ptr<QWidget> owner;
};

TEST_F(MatrixWindow, ThreeVariablesShowALowerTriangleWithABlueReadOnlyDiagonal)
{
    Run([&](QWidget* window) {
        EXPECT_EQ(window->objectName(), "SqMatFrm");
        EXPECT_EQ(window->windowTitle(), "Matrix Entry");
        EXPECT_EQ(window->size(), QSize(800, 600));
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
        EXPECT_FALSE(window->windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(window->windowFlags() & Qt::WindowSystemMenuHint);
        EXPECT_TRUE(window->isModal());

        for (int j = 1; j <= 3; ++j) {
            for (int i = 1; i <= 3; ++i) {
                QLineEdit* cell = MatrixCell(window, j, i);
                if (j > i) {
                    EXPECT_EQ(cell, nullptr) << j << "x" << i;
                    continue;
                }
                ASSERT_NE(cell, nullptr) << j << "x" << i;
                EXPECT_EQ(cell->geometry(), QRect(37 * (j - 1) + 33, 16 * (i - 1) + 50, 37, 16));
                EXPECT_EQ(cell->maxLength(), 6);
                // A negative entry shows whole, minus sign included.
                EXPECT_LE(cell->fontMetrics().horizontalAdvance(QStringLiteral("-0.000")), cell->width() - 4);
                if (i == j) {
                    EXPECT_EQ(cell->text(), "1.000");
                    EXPECT_TRUE(cell->isReadOnly());
                    EXPECT_EQ(cell->palette().color(QPalette::Text), QColor(Qt::blue));
                    EXPECT_FALSE(cell->focusPolicy() & Qt::TabFocus);
                } else {
                    EXPECT_EQ(cell->text(), "0.000");
                    EXPECT_FALSE(cell->isReadOnly());
                    EXPECT_TRUE(cell->focusPolicy() & Qt::TabFocus);
                }
            }
        }
        // Row and column numbers over the grid panel, measured as the cells are.
        QWidget* panel = window->findChild<QWidget*>(QStringLiteral("GridPanel"));
        ASSERT_NE(panel, nullptr);
        for (int n = 1; n <= 3; ++n) {
            int found = 0;
            for (QLabel* label : panel->parentWidget()->findChildren<QLabel*>())
                if (label->text() == QString::number(n) && label->isVisibleTo(window)) {
                    ++found;
                    const QRect g = label->geometry();
                    const bool columnLabel = g == QRect(37 * (n - 1) + 44, 16 * 3 + 60, 15, 16);
                    const bool rowLabel = g == QRect(7, 16 * (n - 1) + 50, 15, 16);
                    EXPECT_TRUE(columnLabel || rowLabel) << n;
                }
            EXPECT_EQ(found, 2) << n;
        }
        const char* names[3] = {"CloseBtn", "ClearBtn", "ReturnBtn"};
        const char* captions[3] = {"Continue", "Clear Data", "Return to Worksheet"};
        const int lefts[3] = {16, 216, 416};
        for (int b = 0; b < 3; ++b) {
            QPushButton* button = MatrixButtonNamed(window, names[b]);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->text(), captions[b]);
            EXPECT_EQ(button->geometry(), QRect(lefts[b], 506, 161, 37));
        }
        QScrollArea* scroller = window->findChild<QScrollArea*>();
        ASSERT_NE(scroller, nullptr);
        EXPECT_EQ(scroller->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        EXPECT_EQ(scroller->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        // The first cell the user can type into has the focus, its text selected.
        EXPECT_EQ(Focused(), MatrixCell(window, 1, 2));
        EXPECT_EQ(MatrixCell(window, 1, 2)->selectedText(), "0.000");
        MatrixButtonNamed(window, "ReturnBtn")->click();
    });
    EXPECT_TRUE(MatrixCancelled);
}

TEST_F(MatrixWindow, TabSkipsTheDiagonalAndEndsOnTheButtons)
{
    Run([&](QWidget* window) {
        const char* path[] = {"mat1x3", "mat2x3", "CloseBtn", "ClearBtn", "ReturnBtn", "mat1x2"};
        for (const char* next : path) {
            QTest::keyClick(Focused(), Qt::Key_Tab);
            ASSERT_NE(Focused(), nullptr);
            EXPECT_EQ(Focused()->objectName(), next);
        }
        MatrixButtonNamed(window, "ReturnBtn")->click();
    });
}

TEST_F(MatrixWindow, DefaultZeroQuestionsComeInOrderAndNoKeepsTheWindowOpen)
{
    Run([&](QWidget* window) {
        QPushButton* proceed = MatrixButtonNamed(window, "CloseBtn");
        messages.ScriptAnswers({Answer::No});
        proceed->click();
        ASSERT_EQ(Texts(MessageKind::Confirmation), std::vector<std::string>{DefaultZeroQuestion(2, 1)});
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(Focused(), MatrixCell(window, 1, 2));
        EXPECT_EQ(MatrixCell(window, 1, 2)->selectedText(), "0.000");

        messages.Clear();
        messages.ScriptAnswers({Answer::Yes, Answer::No});
        proceed->click();
        EXPECT_EQ(Texts(MessageKind::Confirmation),
                  (std::vector<std::string>{DefaultZeroQuestion(2, 1), DefaultZeroQuestion(3, 1)}));
        EXPECT_EQ(Texts(MessageKind::Confirmation)[1],
                  "Do you want continue with cell (3,1) set to the default value of '0.000'?");
        EXPECT_EQ(Focused(), MatrixCell(window, 1, 3));
        EXPECT_TRUE(window->isVisible());

        // (2,1) was agreed to: only the others are asked again.
        messages.Clear();
        proceed->click();
        EXPECT_EQ(Texts(MessageKind::Confirmation),
                  (std::vector<std::string>{DefaultZeroQuestion(3, 1), DefaultZeroQuestion(3, 2)}));
        EXPECT_FALSE(window->isVisible());
    });
    EXPECT_FALSE(MatrixCancelled);

    // A new window asks again.
    messages.Clear();
    Run([&](QWidget* window) { MatrixButtonNamed(window, "CloseBtn")->click(); });
    EXPECT_EQ(Texts(MessageKind::Confirmation).size(), 3u);
    EXPECT_FALSE(MatrixCancelled);
}

TEST_F(MatrixWindow, OutOfRangeAndUnreadableCellsAreRefusedWithTheFocusOnThem)
{
    Run([&](QWidget* window) {
        QPushButton* proceed = MatrixButtonNamed(window, "CloseBtn");
        for (const char* bad : {"1", "1.000", "-1", "1.5"}) {
            messages.Clear();
            MatrixCell(window, 1, 3)->setText(QString::fromLatin1(bad));
            MatrixCell(window, 1, 2)->setText(QStringLiteral("0.5"));
            proceed->click();
            EXPECT_EQ(Texts(MessageKind::Information), std::vector<std::string>{MatrixRangeMessage}) << bad;
            EXPECT_EQ(Focused(), MatrixCell(window, 1, 3)) << bad;
            EXPECT_TRUE(window->isVisible());
        }
        // Entries before the stop are kept in the buffer already.
        EXPECT_EQ(buffer[1][2], 0.5);

        messages.Clear();
        MatrixCell(window, 1, 3)->clear();
        QTest::keyClicks(MatrixCell(window, 1, 3), "abc");
        proceed->click();
        EXPECT_EQ(Texts(MessageKind::Warning), std::vector<std::string>{InvalidEntryMessage});
        EXPECT_EQ(Focused(), MatrixCell(window, 1, 3));
        EXPECT_EQ(MatrixCell(window, 1, 3)->selectedText(), "abc");

        // Six characters at most; a comma is a decimal point here.
        MatrixCell(window, 1, 3)->clear();
        QTest::keyClicks(MatrixCell(window, 1, 3), "0.12345");
        EXPECT_EQ(MatrixCell(window, 1, 3)->text(), "0.1234");
        MatrixCell(window, 1, 3)->setText(QStringLiteral("0,5"));
        MatrixCell(window, 2, 3)->setText(QStringLiteral("-0.999"));
        MatrixCell(window, 1, 2)->setText(QStringLiteral("0.999"));
        messages.Clear();
        proceed->click();
        EXPECT_TRUE(messages.shown.empty());
    });
    EXPECT_FALSE(MatrixCancelled);
    EXPECT_EQ(buffer[1][3], 0.5);
    EXPECT_EQ(buffer[3][1], 0.5);  // mirrored across the diagonal
    EXPECT_DOUBLE_EQ(buffer[2][3], -0.999);
    EXPECT_DOUBLE_EQ(buffer[1][2], 0.999);
}

TEST_F(MatrixWindow, ValuesComeBackWithThreeDecimals)
{
    buffer[1][2] = buffer[2][1] = 0.12345;
    buffer[1][3] = buffer[3][1] = -0.4567;
    buffer[2][3] = buffer[3][2] = 0.3;
    Run([&](QWidget* window) {
        EXPECT_EQ(MatrixCell(window, 1, 2)->text(), "0.123");
        EXPECT_EQ(MatrixCell(window, 1, 3)->text(), "-0.457");
        MatrixButtonNamed(window, "CloseBtn")->click();
    });
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_DOUBLE_EQ(buffer[1][2], 0.123);
    EXPECT_DOUBLE_EQ(buffer[2][1], 0.123);
    EXPECT_DOUBLE_EQ(buffer[1][3], -0.457);
}

TEST_F(MatrixWindow, ClearDataAsksAndZeroesTheCellsBelowTheDiagonal)
{
    buffer[1][2] = buffer[2][1] = 0.2;
    buffer[1][3] = buffer[3][1] = 0.3;
    buffer[2][3] = buffer[3][2] = 0.4;
    Run([&](QWidget* window) {
        QPushButton* clear = MatrixButtonNamed(window, "ClearBtn");
        messages.ScriptAnswers({Answer::No});
        clear->click();
        EXPECT_EQ(Texts(MessageKind::Confirmation), std::vector<std::string>{"Clear data from matrix ?"});
        EXPECT_EQ(MatrixCell(window, 1, 2)->text(), "0.200");
        EXPECT_EQ(buffer[1][2], 0.2);

        messages.Clear();
        clear->click();  // Yes
        for (auto [j, i] : {std::pair{1, 2}, {1, 3}, {2, 3}}) EXPECT_EQ(MatrixCell(window, j, i)->text(), "0.000");
        for (int d = 1; d <= 3; ++d) EXPECT_EQ(MatrixCell(window, d, d)->text(), "1.000");
        EXPECT_EQ(buffer[1][2], 0.0);
        EXPECT_EQ(buffer[2][1], 0.2);  // the other triangle waits for "Continue"
        EXPECT_TRUE(window->isVisible());

        messages.Clear();
        MatrixButtonNamed(window, "CloseBtn")->click();
        EXPECT_EQ(Texts(MessageKind::Confirmation).size(), 3u);
    });
    EXPECT_FALSE(MatrixCancelled);
    EXPECT_EQ(buffer[2][1], 0.0);
}

TEST_F(MatrixWindow, ReturnAndADesktopCloseAbandonTheEntryButEscapeDoesNot)
{
    Run([&](QWidget* window) {
        MatrixCell(window, 1, 2)->setText(QStringLiteral("0.7"));
        MatrixButtonNamed(window, "ReturnBtn")->click();
    });
    EXPECT_TRUE(MatrixCancelled);
    EXPECT_EQ(buffer[1][2], 0.0);
    EXPECT_TRUE(messages.shown.empty());

    MatrixCancelled = false;
    Run([&](QWidget* window) {
        QTest::keyClick(Focused(), Qt::Key_Escape);
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(MatrixCancelled);
        MatrixCell(window, 1, 2)->setText(QStringLiteral("0.7"));
        window->close();  // the window manager's close (Alt+F4)
        EXPECT_FALSE(window->isVisible());
    });
    EXPECT_TRUE(MatrixCancelled);
    EXPECT_EQ(buffer[1][2], 0.0);
}

TEST_F(MatrixWindow, EnterPressesTheFocusedButtonButNotFromACell)
{
    Run([&](QWidget* window) {
        // In a cell Enter does nothing: the window stays open.
        MatrixCell(window, 1, 2)->setFocus();
        QTest::keyClick(Focused(), Qt::Key_Return);
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(messages.shown.empty());
        QPushButton* back = MatrixButtonNamed(window, "ReturnBtn");
        back->setFocus(Qt::TabFocusReason);
        QTest::keyClick(back, Qt::Key_Return);
        EXPECT_FALSE(window->isVisible());
    });
    EXPECT_TRUE(MatrixCancelled);
}

TEST_F(MatrixWindow, ScrollBarsOnlyForMatricesBeyondTheWindow)
{
    auto scrollPolicies = [&](int size) {
        std::pair<Qt::ScrollBarPolicy, Qt::ScrollBarPolicy> seen;
        Run(
            [&](QWidget* window) {
                QScrollArea* scroller = window->findChild<QScrollArea*>();
                seen = {scroller->horizontalScrollBarPolicy(), scroller->verticalScrollBarPolicy()};
                EXPECT_EQ(scroller->horizontalScrollBar()->singleStep(), 4);
                EXPECT_EQ(window->size(), QSize(800, 600));
                EXPECT_NE(MatrixCell(window, size, 1), nullptr);  // full matrix
                MatrixButtonNamed(window, "ReturnBtn")->click();
            },
            size, size, false);
        return seen;
    };
    // 37c + 54 > 800 from 21 columns on; 16r + 123 > 600 from 30 rows on.
    EXPECT_EQ(scrollPolicies(20), std::make_pair(Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOff));
    EXPECT_EQ(scrollPolicies(21), std::make_pair(Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOff));
    EXPECT_EQ(scrollPolicies(30), std::make_pair(Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOn));
}

}  // namespace
}  // namespace desktop_test
