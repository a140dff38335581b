// What the windows show whole, measured with the font metrics of the fonts
// they draw in: six digits in the bold fields, "-0.999" in a matrix cell,
// names level with their rows and columns, grid rows cut only at a boundary.
#include <QLabel>
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

class Layout : public DesktopTest {};

TEST_F(Layout, SixDigitsShowWholeInEveryNumericField)
{
    Start();
    W().txtInput1->setText(QStringLiteral("5"));
    for (QLineEdit* field : W().txtInputs) {
        EXPECT_LE(field->fontMetrics().horizontalAdvance(QStringLiteral("999999")), TextRoom(field))
            << field->objectName().toStdString();
        EXPECT_TRUE(field->font().bold());
        EXPECT_EQ(field->geometry().right() + 1, 744);  // the fields' right edge stays
    }
}

TEST_F(Layout, ScrolledGridShowsWholeRowsOnly)
{
    Start();
    for (const char* k : {"1", "5", "6", "9", "12"}) {
        W().txtInput1->setText(QString::fromLatin1(k));
        QApplication::processEvents();
        const int rows = Grid().rowCount();
        const int shown = std::min(rows, 6);
        const int rowHeight = Grid().rowHeight(0);
        EXPECT_EQ(rowHeight, 21);
        if (rows > 6) {
            EXPECT_EQ(Grid().viewport()->height(), shown * rowHeight) << k;
        }
        EXPECT_GE(Grid().viewport()->height(), shown * rowHeight) << k;
        EXPECT_LT(Grid().viewport()->height(), (shown + 1) * rowHeight) << k;
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
