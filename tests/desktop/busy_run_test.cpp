// While an analysis runs the windows take no input: clicks and keys made
// meanwhile, sent at once or queued, have no effect afterwards; the busy
// pointer shows; the work runs off the interface thread and its errors come
// back to it.
#include <algorithm>
#include <stdexcept>
#include <thread>

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>

#include <QMessageBox>

#include "desktop/app/busy_run.h"
#include "desktop/dialogs/qt_messages.h"
#include "desktop_fixture.h"

namespace desktop_test {
namespace {

// A click at the middle of a widget, queued as the window system queues it.
void PostClick(QWidget* widget)
{
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(widget, new QMouseEvent(type, at, global, Qt::LeftButton,
                                                            type == QEvent::MouseButtonPress ? Qt::LeftButton
                                                                                             : Qt::NoButton,
                                                            Qt::NoModifier));
}

class BusyRun : public DesktopTest {};

TEST_F(BusyRun, InputDuringAnAnalysisDoesNothing)
{
    Start();
    FillWorkedExample();
    auto dialog = std::make_unique<platform::ScriptedSaveDialog>();
    platform::ScriptedSaveDialog* saves = dialog.get();
    results->SetSaveDialog(std::move(dialog));

    // During the run: a second Continue, a key in the sample size, Exit and
    // Save Output, each both sent and queued.
    int matrixWindows = 0;
    bool sentDuringRun = false;
    bool busyPointer = false;
    QTimer meddler;
    QObject::connect(&meddler, &QTimer::timeout, [&] {
        if (!platform::Busy() || sentDuringRun) return;
        sentDuringRun = true;
        const QCursor* cursor = QGuiApplication::overrideCursor();
        busyPointer = cursor && cursor->shape() == Qt::WaitCursor;
        for (QPushButton* button : {W().cmdCompute, W().ExitBtn, results->cmdSaveOutput}) {
            QTest::mouseClick(button, Qt::LeftButton);
            PostClick(button);
        }
        QTest::keyClick(W().txtInput2, Qt::Key_9);
        QCoreApplication::postEvent(W().txtInput2, new QKeyEvent(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, "7"));
        QCoreApplication::postEvent(W().cmdCompute, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
        W().close();  // as the window manager's close box
    });
    meddler.start(1);
    AnswerNextModal([&](QWidget* window) {
        ++matrixWindows;
        MatrixCell(window, 1, 2)->setText(QStringLiteral("0.5"));
        MatrixButtonNamed(window, "CloseBtn")->click();
    });
    Press(W().cmdCompute);
    meddler.stop();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();  // anything still queued

    ASSERT_TRUE(sentDuringRun);
    EXPECT_TRUE(busyPointer);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(matrixWindows, 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(results->isVisible());
    EXPECT_EQ(W().txtInput2->text(), "20");
    EXPECT_TRUE(saves->calls.empty());
    EXPECT_EQ(quits, 0);
    EXPECT_TRUE(messages.shown.empty());
    const std::vector<std::string> lines = ResultLines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.find("One-tailed probability") != std::string::npos; }),
              1);  // one report
}

// The factorisation's own message, raised inside the run, is a box made and
// answered on the interface thread; the run then ends with its error.
TEST_F(BusyRun, AMessageRaisedDuringTheRunIsShownOnTheInterfaceThread)
{
    platform::QtMessages boxes;  // real message boxes instead of the recorder
    platform::ScopedMessages real(boxes);
    Start();
    FillWorkedExample();
    FillRow(1, "Cov 1", "0", "999999", "8");  // a scale the factorisation cannot take
    struct Box {
        QString text;
        bool onInterfaceThread = false;
        bool duringRun = false;
    };
    std::vector<Box> boxesShown;
    std::function<void(QWidget*)> answerBox = [&](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        ASSERT_NE(box, nullptr);
        boxesShown.push_back({box->text(), box->thread() == qApp->thread(), platform::Busy()});
        if (boxesShown.size() == 1) AnswerNextModal(answerBox);
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);  // a real click, through the busy run
    };
    AnswerNextModal([&](QWidget* window) {
        MatrixCell(window, 1, 2)->setText(QStringLiteral("0.5"));
        AnswerNextModal(answerBox);
        MatrixButtonNamed(window, "CloseBtn")->click();
    });
    Press(W().cmdCompute);
    for (int i = 0; i < 20 && boxesShown.size() < 2; ++i) QTest::qWait(10);

    ASSERT_EQ(boxesShown.size(), 2u);
    EXPECT_EQ(boxesShown[0].text, "Not pos def 2nd : sum=  0.000000000  i=  2  j=   2");
    EXPECT_TRUE(boxesShown[0].duringRun);
    EXPECT_TRUE(boxesShown[1].text.contains(QStringLiteral("Express that variable in other units")));
    EXPECT_FALSE(boxesShown[1].duringRun);
    for (const Box& b : boxesShown) EXPECT_TRUE(b.onInterfaceThread);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(W().isVisible());
    EXPECT_TRUE(ResultLines().empty());
}

TEST(RunWhileBusy, WorksOffTheInterfaceThreadAndPassesItsErrorBack)
{
    const std::thread::id gui = std::this_thread::get_id();
    std::thread::id worker;
    platform::RunWhileBusy([&] { worker = std::this_thread::get_id(); });
    EXPECT_NE(worker, gui);
    EXPECT_FALSE(platform::Busy());

    try {
        platform::RunWhileBusy([] { throw std::invalid_argument("bad input"); });
        ADD_FAILURE() << "no exception";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "bad input");
    }
    EXPECT_FALSE(platform::Busy());
    // Input goes through again afterwards.
    QLineEdit field;
    QTest::keyClicks(&field, "ok");
    EXPECT_EQ(field.text(), "ok");
}

}  // namespace
}  // namespace desktop_test
