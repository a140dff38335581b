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
