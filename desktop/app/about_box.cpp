#include "desktop/app/about_box.h"

#include <string>

#include <QDialog>
#include <QDialogButtonBox>
#include <QFont>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "analysis/run/command_guard.h"
#include "foundation/program_info.h"

namespace platform {
namespace {

QLabel* AddText(QVBoxLayout* layout, const char* name, const std::string& text, QWidget* parent)
{
    auto* label = new QLabel(QString::fromStdString(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    // The citation and the licence can be selected and copied.
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(label);
    return label;
}

void FillHelpMenu(QMenuBar* bar, QWidget* window)
{
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    QAction* about = help->addAction(QStringLiteral("&About Harrow"));
    about->setObjectName(QStringLiteral("mnuAbout"));
    QObject::connect(about, &QAction::triggered, window, [window] { RunCommand([window] { ShowAboutBox(window); }); });
}

}  // namespace

void ShowAboutBox(QWidget* parent)
{
    QDialog box(parent);
    box.setObjectName(QStringLiteral("AboutBox"));
    box.setWindowTitle(QStringLiteral("About Harrow"));
    auto* layout = new QVBoxLayout(&box);
    QLabel* title = AddText(layout, "aboutVersion", "Harrow " + ProgramVersion(), &box);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    title->setFont(bold);
    AddText(layout, "aboutSummary",
            "Tests whether a single case shows a deficit compared with a control sample, controlling for none "
            "to five covariates: a Bayesian test with Monte Carlo draws, and on request the frequentist "
            "test's exact values.",
            &box);
    AddText(layout, "aboutLicence", "Licence: GNU General Public License, version 3 or later.\n" + ProgramLicenceNotice(),
            &box);
    AddText(layout, "aboutCitation", "To cite the program, name it with its version:\n" + ProgramCitation(), &box);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &box);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    layout->addWidget(buttons);
    box.setFixedWidth(520);
    box.exec();
}

void AddHelpMenu(QMainWindow* window) { FillHelpMenu(window->menuBar(), window); }

void AddHelpMenu(QMenuBar* bar, QWidget* window) { FillHelpMenu(bar, window); }

}  // namespace platform
