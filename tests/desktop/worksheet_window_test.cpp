// The worksheet window without the Compute command: start-up, the grid
// following the covariate field, key filters, focus moves, the notes, Clear
// Data, Exit, the layout at any size and the About box.
#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include "desktop_fixture.h"
#include "analysis/worksheet/input_rules.h"

namespace desktop_test {
namespace {

class Worksheet : public DesktopTest {
protected:
    QString Cell(int row, int column) { return Grid().CellText(row, column); }

    // The grid shows min(rows, 6) whole rows (scrolling to the rest, never a
    // sliver of the next row), every column whole, centred in its panel, each
    // heading over its column.
    void ExpectGridShows(int rows)
    {
        SCOPED_TRACE(rows);
        QApplication::processEvents();
        EXPECT_EQ(Grid().rowCount(), rows);
        EXPECT_EQ(Grid().verticalScrollBar()->isVisible(), rows > 6);
        const int shown = std::min(rows, 6), rowHeight = Grid().rowHeight(0);
        if (rows > 6) {
            EXPECT_EQ(Grid().viewport()->height(), shown * rowHeight);
        }
        EXPECT_GE(Grid().viewport()->height(), shown * rowHeight);
        EXPECT_LT(Grid().viewport()->height(), (shown + 1) * rowHeight);
        EXPECT_GE(Grid().viewport()->width(), Grid().horizontalHeader()->length());
        EXPECT_NEAR(Grid().geometry().center().x(), W().Panel1->contentsRect().center().x(), 2);
        for (int n = 1; n <= 4; ++n) {
            QLabel* heading = W().lblCols[n - 1];
            const int middle = Grid().viewport()->mapFrom(W().Panel1, heading->geometry().center()).x();
            EXPECT_GE(middle, Grid().columnViewportPosition(n)) << n;
            EXPECT_LT(middle, Grid().columnViewportPosition(n) + Grid().columnWidth(n)) << n;
            EXPECT_LE(heading->geometry().bottom(), Grid().geometry().top()) << n;
        }
    }

    // No two visible controls of a panel overlap, each lies within it;
    // returns how many were looked at.
    static int ExpectNothingOverlaps(QWidget* panel)
    {
        std::vector<QWidget*> shown;
        for (QObject* child : panel->children())
            if (auto* w = qobject_cast<QWidget*>(child); w && w->isVisibleTo(panel) && !w->isWindow()) shown.push_back(w);
        for (std::size_t i = 0; i < shown.size(); ++i) {
            EXPECT_TRUE(panel->rect().contains(shown[i]->geometry())) << shown[i]->objectName().toStdString();
            for (std::size_t j = i + 1; j < shown.size(); ++j)
                EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                    << shown[i]->objectName().toStdString() << " / " << shown[j]->objectName().toStdString();
        }
        return static_cast<int>(shown.size());
    }
};

TEST_F(Worksheet, FreshStartShowsDefaultsAndTheLayout)
{
    Start();
    EXPECT_EQ(W().windowTitle(), "Harrow: Untitled worksheet[*]");
    EXPECT_FALSE(W().isWindowModified());
    const std::pair<QString, const char*> captions[] = {
        {W().Label1->text(), "Number of co&variates : "}, {W().Label2->text(), "Sample size (&N) of control sample:"},
        {W().cmdCompute->text(), "&Continue"},           {W().btnclearData->text(), "C&lear Data"},
        {W().ExitBtn->text(), "E&xit"},                  {W().RadioItems[1]->text(), "One-sided  lo&wer"},
        {W().lblItems->text(), "Test No."}};
    for (const auto& [shown, expected] : captions) EXPECT_EQ(shown, expected);
    EXPECT_TRUE(W().RadioItems[0]->isChecked());
    for (int f = 0; f < 8; ++f) {
        EXPECT_EQ(W().txtInputs[f]->isVisible(), f < 2) << f;
        EXPECT_EQ(W().Labels[f]->isVisible(), f < 2) << f;
        EXPECT_TRUE(W().txtInputs[f]->text().isEmpty());
        // Six digits show whole in every numeric field.
        EXPECT_LE(W().txtInputs[f]->fontMetrics().horizontalAdvance(QStringLiteral("999999")), TextRoom(W().txtInputs[f]));
    }
    // Four rows, default names, row numbers, headings above the columns.
    ExpectGridShows(4);
    const char* names[4] = {"Task", "Cov 1", "Cov 2", "Cov 3"};
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(Cell(r, 0), QString::number(r + 1));
        EXPECT_FALSE(Grid().item(r, 0)->flags() & Qt::ItemIsEditable);
        EXPECT_EQ(Cell(r, 1), names[r]);
        for (int c = 2; c <= 4; ++c) EXPECT_TRUE(Cell(r, c).isEmpty());
    }
    const char* headings[4] = {"Name", "Mean", "SD", "Score"};
    for (int n = 1; n <= 6; ++n) {
        EXPECT_EQ(W().lblCols[n - 1]->isVisible(), n <= 4) << n;
        if (n <= 4) {
            EXPECT_EQ(W().lblCols[n - 1]->text(), headings[n - 1]);
        }
    }
    // The description: what the program does and the build date.
    const QString description = W().DescripFld->toPlainText();
    EXPECT_TRUE(description.contains(QStringLiteral("viewed, printed or saved")));
    EXPECT_TRUE(description.contains(QStringLiteral("(Built ")));
    // The focus is in the empty covariate field; the task's mean is current.
    EXPECT_EQ(Focused(), W().txtInput1);
    EXPECT_EQ(Grid().currentRow(), 0);
    EXPECT_EQ(Grid().currentColumn(), 2);
    EXPECT_FALSE(W().Data().PreviousDataLoaded);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Worksheet, GridRowsFollowTheCovariateField)
{
    Start();
    QTest::keyClicks(W().txtInput1, "3");
    ExpectGridShows(4);
    EXPECT_EQ(Cell(3, 1), "Cov 3");
    // 13 is cut to 12 (the box is the key-box test's): 13 rows, six shown.
    Retype(W().txtInput1, "13");
    EXPECT_EQ(Texts(MessageKind::Warning).size(), 1u);
    ExpectGridShows(13);
    EXPECT_EQ(Cell(12, 0), "13");
    EXPECT_EQ(Cell(6, 1), "Cov 6");
    EXPECT_TRUE(Cell(7, 1).isEmpty());
    messages.Clear();
    Retype(W().txtInput1, "7");
    ExpectGridShows(8);

    // Typed names survive rows going and coming back.
    Grid().SetCellText(2, 1, QStringLiteral("Age"));
    Retype(W().txtInput1, "1");
    EXPECT_EQ(Grid().rowCount(), 2);
    Retype(W().txtInput1, "3");
    EXPECT_EQ(Cell(2, 1), "Age");
    EXPECT_EQ(Cell(3, 1), "Cov 3");
    // A letter: the grid stays.
    QTest::keyClicks(W().txtInput1, "x");
    EXPECT_EQ(Grid().rowCount(), 4);
    // 0, an empty field and "2.5" are the worksheet data's own tests.
}

// The refused keys and their boxes are the key-box table's; here what the
// filters leave: the six characters kept selected for retyping, keys that
// type nothing passed, a key released without its press ignored.
TEST_F(Worksheet, NumericFieldsKeepSixCharactersSelectedAndPassKeysThatTypeNothing)
{
    Start();
    QLineEdit* field = W().txtInput2;
    field->setFocus();
    QTest::keyClicks(field, "1234567");
    EXPECT_EQ(field->selectedText(), "123456");
    messages.Clear();
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_Delete);
    EXPECT_EQ(W().Data().fields[1], "23456");
    // The key that closes a message box is released in the cell without a
    // press there: no new warning.
    QTest::keyRelease(EditCell(0, MeanColumn), Qt::Key_Return);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Worksheet, TabWalksTheWindowAndTheGridCells)
{
    Start();
    QTest::keyClicks(W().txtInput1, "1");
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
        EXPECT_EQ(Grid().currentRow() * 4 + Grid().currentColumn() - 1, step);
        ASSERT_NE(Grid().Editor(), nullptr);
        EXPECT_EQ(Focused(), Grid().Editor());
        QTest::keyClick(Focused(), Qt::Key_Tab);
    }
    EXPECT_EQ(Focused(), W().cmdCompute);
    EXPECT_EQ(Grid().currentColumn(), 1);  // the grid was left: the task's name again
    QTest::keyClick(Focused(), Qt::Key_Backtab);
    EXPECT_TRUE(Grid().Owns(Focused()));
    QTest::keyClick(Focused(), Qt::Key_Backtab);
    EXPECT_FALSE(Grid().Owns(Focused()));
    W().cmdCompute->setFocus();
    for (int i = 0; i < 2; ++i) QTest::keyClick(Focused(), Qt::Key_Tab);
    EXPECT_EQ(Focused(), W().btnCaseSeries);
    for (int i = 0; i < 2; ++i) QTest::keyClick(Focused(), Qt::Key_Tab);
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
    notes->setPlainText(QString(300, QLatin1Char('n')));
    EXPECT_EQ(notes->toPlainText().size(), 250);  // 250 characters at most
}

TEST_F(Worksheet, ClearDataEmptiesEverythingDeletesTheFileAndUndoBringsThemBack)
{
    std::ofstream(DataPath(), std::ios::binary)
        << "1\r\n20\r\nTask\r\n50\r\n10\r\n30\r\nAge\r\n10\r\n2\r\n8\r\n1.000\r\n0.500\r\n1.000\r\n";
    Start();
    EXPECT_EQ(Cell(1, 1), "Age");
    W().memoComments->setPlainText(QStringLiteral("a note"));
    W().RadioItems[2]->setChecked(true);
    const std::string kept = FileText(DataPath());

    // Asked first: No keeps everything.
    messages.ScriptAnswers({Answer::No});
    QTest::mouseClick(W().btnclearData, Qt::LeftButton);
    EXPECT_EQ(W().txtInput1->text(), "1");
    EXPECT_EQ(FileText(DataPath()), kept);
    QTest::mouseClick(W().btnclearData, Qt::LeftButton);
    EXPECT_EQ(Texts(MessageKind::Confirmation).size(), 2u);
    messages.Clear();
    EXPECT_EQ(W().btnclearData->text(), "&Undo Clear");
    EXPECT_FALSE(fs::exists(DataPath()));
    EXPECT_TRUE(W().txtInput1->text().isEmpty());
    EXPECT_TRUE(W().txtInput2->text().isEmpty());
    EXPECT_TRUE(W().memoComments->toPlainText().isEmpty());
    EXPECT_EQ(Grid().rowCount(), 2);
    for (int r = 0; r < 2; ++r)
        for (int c = 1; c <= 4; ++c) EXPECT_TRUE(Cell(r, c).isEmpty()) << r << "," << c;
    EXPECT_EQ(Focused(), W().txtInput1);

    // Undo brings the worksheet and its file back, unasked, once.
    QTest::mouseClick(W().btnclearData, Qt::LeftButton);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Cell(1, 1), "Age");
    EXPECT_EQ(W().memoComments->toPlainText(), "a note");
    EXPECT_EQ(FileText(DataPath()), kept);
    EXPECT_EQ(W().btnclearData->text(), "C&lear Data");
    QTest::mouseClick(W().btnclearData, Qt::LeftButton);
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
    std::ofstream(DataPath(), std::ios::binary) << "1\r\nabc\r\n";
    Start();
    EXPECT_EQ(Texts(MessageKind::Error), std::vector<std::string>{"Invalid numeric input"});
    EXPECT_EQ(W().txtInput1->text(), "1");
    EXPECT_FALSE(W().Data().PreviousDataLoaded);
    EXPECT_TRUE(W().isVisible());
}

// Exit clicked, Enter on it and the window's close each ask; No keeps the
// program, Yes ends it.
TEST_F(Worksheet, ExitAndAWindowCloseAskFirst)
{
    Start();
    const std::function<void()> ways[] = {
        [this] { QTest::mouseClick(W().ExitBtn, Qt::LeftButton); },
        [this] {
            W().ExitBtn->setFocus(Qt::TabFocusReason);
            QTest::keyClick(W().ExitBtn, Qt::Key_Enter, Qt::KeypadModifier);
        },
        [this] { W().close(); },
    };
    for (const auto& leave : ways) {
        messages.Clear();
        quits = 0;
        messages.ScriptAnswers({Answer::No});
        leave();
        EXPECT_EQ(Texts(MessageKind::Confirmation), std::vector<std::string>{"Exit from program?"});
        EXPECT_TRUE(W().isVisible());
        EXPECT_EQ(quits, 0);
        leave();  // Yes
        EXPECT_EQ(quits, 1);
        Start();
    }
}

TEST_F(Worksheet, EnterPressesAFocusedButtonRunsContinueFromAFieldAndMovesDownInTheGrid)
{
    Start();
    // "Continue" with nothing filled in, by Enter on it and by Enter in a
    // field: the first refusal, the focus back on the covariate field.
    W().cmdCompute->setFocus(Qt::TabFocusReason);
    QTest::keyClick(W().cmdCompute, Qt::Key_Return);
    QTest::keyClicks(W().txtInput2, "20");
    QTest::keyClick(W().txtInput2, Qt::Key_Return);
    ASSERT_EQ(messages.shown.size(), 2u);
    for (const auto& m : messages.shown) EXPECT_EQ(m.text.substr(0, 11), "INPUT ERROR");
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

    // A held key presses once; Enter with a modifier is not a press.
    messages.Clear();
    W().txtInput1->setText(QStringLiteral("1"));
    W().btnclearData->setFocus(Qt::TabFocusReason);
    QTest::keyPress(W().btnclearData, Qt::Key_Return, Qt::ControlModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(W().btnclearData, &repeat);
    EXPECT_EQ(W().txtInput1->text(), "1");
    QTest::keyClick(W().btnclearData, Qt::Key_Return);
    EXPECT_TRUE(W().txtInput1->text().isEmpty());
    EXPECT_EQ(Texts(MessageKind::Confirmation).size(), 1u);  // Clear Data asks, once
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
    // Each field is named by its label for screen readers.
    EXPECT_EQ(W().txtInput1->accessibleName(), "Number of covariates");
    EXPECT_EQ(W().txtInput2->accessibleName(), "Sample size (N) of control sample");
    EXPECT_EQ(Grid().accessibleName(), "Data grid");
}

TEST_F(Worksheet, TheWindowFitsItsScreenAndReflowsWhenResized)
{
    Start();
    W().txtInput1->setText(QStringLiteral("12"));  // the tallest grid
    // The default size (before a screen cuts it down) fits a 1366 x 768
    // screen, with room for a title bar and a panel.
    const QSize natural = TfrmTemplate(folder).size();
    EXPECT_LE(natural.width(), 1366);
    EXPECT_LE(natural.height(), 768 - 60);
    const QRect screen = W().screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(W().frameGeometry().topLeft()));
    EXPECT_LE(W().height(), screen.height());
    auto* scroll = W().findChild<QScrollArea*>(QStringLiteral("contentScroll"));
    ASSERT_NE(scroll, nullptr);
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
        EXPECT_EQ(scroll->verticalScrollBar()->isVisible() || scroll->horizontalScrollBar()->isVisible(), c.scrolls);
        EXPECT_GT(ExpectNothingOverlaps(scroll->widget()), 3);
        EXPECT_GT(ExpectNothingOverlaps(W().Panel1), 10);
        EXPECT_GT(ExpectNothingOverlaps(W().pnlButtons), 3);
        // The description and the panels take the width they are given.
        if (!c.scrolls) {
            EXPECT_GT(W().DescripFld->width(), descriptionWidth);
            descriptionWidth = W().DescripFld->width();
            EXPECT_NEAR(W().Panel1->width(), scroll->widget()->width() - 24, 2);
        }
        EXPECT_NEAR(Grid().geometry().center().x(), W().Panel1->contentsRect().center().x(), 2);
    }
}

// "About Harrow" from the Help menu of both windows, opened with the mouse:
// the version the project was built as, the licence and how to cite it.
TEST_F(Worksheet, AboutBoxFromBothWindowsShowsTheVersionTheLicenceAndTheCitation)
{
    Start();
    results->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(results.get(), kGenerousWaitMs));
    const QString version = QStringLiteral(HARROW_PROJECT_VERSION);
    for (QWidget* window : {static_cast<QWidget*>(&W()), static_cast<QWidget*>(results.get())}) {
        SCOPED_TRACE(window->objectName().toStdString());
        window->activateWindow();
        auto* bar = window->findChild<QMenuBar*>();
        ASSERT_NE(bar, nullptr);
        QAction* help = nullptr;
        for (QAction* action : bar->actions())
            if (action->text() == QStringLiteral("&Help")) help = action;
        ASSERT_NE(help, nullptr);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(help).center());
        QMenu* menu = help->menu();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu, kGenerousWaitMs));
        QAction* about = menu->actions().value(0);
        EXPECT_EQ(about->text(), QStringLiteral("&About Harrow"));
        QString shown;
        AnswerNextModal([&shown](QWidget* box) {
            EXPECT_EQ(box->windowTitle(), QStringLiteral("About Harrow"));
            for (const QLabel* label : box->findChildren<QLabel*>()) shown += label->text() + '\n';
        });
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(about).center());
        EXPECT_TRUE(shown.startsWith("Harrow " + version + '\n')) << shown.toStdString();
        EXPECT_TRUE(shown.contains("GNU General Public License, version 3 or later")) << shown.toStdString();
        EXPECT_TRUE(shown.contains("Harrow (Version " + version + ") [Computer software]")) << shown.toStdString();
    }
}

}  // namespace
}  // namespace desktop_test
