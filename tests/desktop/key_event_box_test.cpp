// Message boxes raised by keys typed into the worksheet, end to end: real key
// events into the real fields and cell editor, the real modal box, closed
// with Enter as a user closes it. Typing goes on in the same place after it.
#include <QMessageBox>

#include "desktop_fixture.h"
#include "analysis/worksheet/input_rules.h"
#include "desktop/dialogs/qt_messages.h"

namespace desktop_test {
namespace {

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
            if (QWidget* focus = QApplication::focusWidget()) QTest::keyRelease(focus, Qt::Key_Return);
        });
        timer_.start(5);
    }
    std::vector<std::string> texts;

private:
    QTimer timer_;
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

    QLineEdit* target = nullptr;
    if (c.field >= 0) {
        target = W().txtInputs[c.field];
        target->setFocus();
        target->selectAll();
    } else {
        Grid().setFocus();
        Grid().setCurrentCell(c.row, c.column);
        target = Grid().Editor();
        ASSERT_NE(target, nullptr);
        target->selectAll();
    }
    {
        BoxCloser closer;
        const QString typed = QString::fromLatin1(c.typed);
        for (const QChar ch : typed) {
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr) << c.what;
            QTest::keyClick(focus, ch.toLatin1());
            QApplication::processEvents();  // what a running program does between keys
        }
        QApplication::processEvents();
        ASSERT_FALSE(closer.texts.empty()) << c.what;
        EXPECT_EQ(QString::fromStdString(closer.texts.back()),
                  QString::fromLatin1(c.box).replace(QLatin1Char('\r'), QLatin1Char('\n')))
            << c.what;
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << c.what;
    EXPECT_TRUE(WaitUntilActive(worksheet.get())) << c.what;

    // The same control has the focus, and the next key goes on from there.
    QWidget* focus = QApplication::focusWidget();
    if (c.field >= 0) {
        EXPECT_EQ(focus, target) << c.what;
        EXPECT_EQ(W().txtInputs[c.field]->text(), c.after) << c.what;
    } else {
        EXPECT_EQ(Grid().CellText(c.row, c.column), c.after) << c.what;
        EXPECT_EQ(Grid().currentRow(), c.row) << c.what;
        EXPECT_EQ(Grid().currentColumn(), c.column) << c.what;
        ASSERT_NE(Grid().Editor(), nullptr) << c.what;
        EXPECT_EQ(focus, Grid().Editor()) << c.what;
        Grid().Editor()->end(false);
        QTest::keyClick(Grid().Editor(), Qt::Key_Backspace);
        EXPECT_EQ(Grid().CellText(c.row, c.column).size(), QString::fromLatin1(c.after).size() - 1) << c.what;
    }
}

const KeyBoxCase keyBoxCases[] = {
    {"name of six characters", -1, 0, 1, "Memory", MaxInputLengthMessage, "Memory"},
    {"covariate name of six", -1, 1, 1, "Speed1", MaxInputLengthMessage, "Speed1"},
    {"seven digits in a mean", -1, 0, 2, "1234567", MaxInputLengthMessage, "123456"},
    {"seven digits in an SD", -1, 0, 3, "1234567", MaxInputLengthMessage, "123456"},
    {"seven digits in a score", -1, 1, 4, "1234567", MaxInputLengthMessage, "123456"},
    {"a letter in a mean", -1, 0, 2, "12a", KeyRefusedMessage, "12"},
    {"seven digits in the sample size", 1, 0, 0, "1234567", MaxInputLengthMessage, "123456"},
    {"a letter in the sample size", 1, 0, 0, "2a", KeyRefusedMessage, "2"},
    {"thirteen covariates", 0, 0, 0, "13", "Maximum size of grid is 12 rows.", "12"},
    {"a letter for the covariates", 0, 0, 0, "x", InvalidEntryMessage, "x"},
};

INSTANTIATE_TEST_SUITE_P(Worksheet, KeyEventBoxes, ::testing::ValuesIn(keyBoxCases));

}  // namespace
}  // namespace desktop_test
