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
