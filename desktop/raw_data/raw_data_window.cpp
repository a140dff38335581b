#include "desktop/raw_data/raw_data_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "analysis/run/command_guard.h"
#include "analysis/files/open_dialog.h"
#include "analysis/raw_data/raw_data_analysis.h"
#include "analysis/raw_data/raw_data_reader.h"
#include "analysis/report/summary_sentence.h"
#include "desktop/app/busy_run.h"
#include "desktop/app/qt_app_helpers.h"
#include "foundation/c_locale_format.h"
#include "foundation/messages.h"

namespace {

// The hourglass for as long as a file is read or an analysis runs.
class Hourglass {
public:
    Hourglass() { platform::SetHourglassPointer(true); }
    ~Hourglass() { platform::SetHourglassPointer(false); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

}  // namespace

TRawDataWindow::TRawDataWindow(QWidget* parent, platform::OpenDialog& openDialog, std::vector<std::string> notes,
                               int credibleLimit, bool afterEarlierLines)
    : QDialog(parent), openDialog_(openDialog), notes_(std::move(notes)), afterEarlierLines_(afterEarlierLines)
{
    BuildControls(credibleLimit);
}

TRawDataWindow::~TRawDataWindow() = default;

void TRawDataWindow::BuildControls(int credibleLimit)
{
    setObjectName(QStringLiteral("frmRawData"));
    setWindowTitle(QStringLiteral("Raw data of the control sample"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);

    auto* fileRow = new QHBoxLayout;
    btnChooseFile = new QPushButton(QStringLiteral("Choose file..."), this);
    btnChooseFile->setObjectName(QStringLiteral("btnChooseFile"));
    btnChooseFile->setAutoDefault(false);
    lblFile = new QLabel(QStringLiteral("No file chosen (CSV, SPSS .sav/.zsav or Stata .dta)"), this);
    lblFile->setObjectName(QStringLiteral("lblFile"));
    fileRow->addWidget(btnChooseFile);
    fileRow->addWidget(lblFile, 1);
    layout->addLayout(fileRow);

    lstVariables = new QTreeWidget(this);
    lstVariables->setObjectName(QStringLiteral("lstVariables"));
    lstVariables->setHeaderLabels({QStringLiteral("Numeric variable"), QStringLiteral("N"), QStringLiteral("Mean")});
    lstVariables->setRootIsDecorated(false);
    lstVariables->setMinimumHeight(150);
    layout->addWidget(lstVariables);

    auto* choices = new QGridLayout;
    choices->addWidget(new QLabel(QStringLiteral("Variable"), this), 0, 1);
    choices->addWidget(new QLabel(QStringLiteral("Score for case"), this), 0, 2);
    auto addRow = [&](int row, const QString& caption, const QString& name, QComboBox*& combo, QLineEdit*& score) {
        choices->addWidget(new QLabel(caption, this), row, 0);
        combo = new QComboBox(this);
        combo->setObjectName(QStringLiteral("cbo") + name);
        combo->setMinimumWidth(220);
        score = new QLineEdit(this);
        score->setObjectName(QStringLiteral("txt") + name + QStringLiteral("Score"));
        choices->addWidget(combo, row, 1);
        choices->addWidget(score, row, 2);
    };
    addRow(1, QStringLiteral("Task of interest:"), QStringLiteral("Task"), cboTask, txtTaskScore);
    for (int j = 0; j < MaxCovariates; ++j)
        addRow(j + 2, QStringLiteral("Covariate %1:").arg(j + 1), QStringLiteral("Covariate%1").arg(j + 1),
               cboCovariates[j], txtCovariateScores[j]);
    layout->addLayout(choices);

    auto* limits = new QGroupBox(QStringLiteral("95% credible limit required..."), this);
    auto* limitsLayout = new QHBoxLayout(limits);
    radioButtons_ = new QButtonGroup(this);
    const char* items[3] = {"Two-sided", "One-sided  lower", "One-sided upper"};
    for (int i = 0; i < 3; ++i) {
        RadioItems[i] = new QRadioButton(QString::fromLatin1(items[i]), limits);
        RadioItems[i]->setObjectName(QStringLiteral("RadioItem%1").arg(i));
        limitsLayout->addWidget(RadioItems[i]);
        radioButtons_->addButton(RadioItems[i], i);
    }
    RadioItems[credibleLimit >= 0 && credibleLimit < 3 ? credibleLimit : 0]->setChecked(true);
    layout->addWidget(limits);

    chkDropIncomplete = new QCheckBox(QStringLiteral("Leave out incomplete controls"), this);
    chkDropIncomplete->setObjectName(QStringLiteral("chkDropIncomplete"));
    layout->addWidget(chkDropIncomplete);

    auto* buttons = new QHBoxLayout;
    cmdContinue = new QPushButton(QStringLiteral("Continue"), this);
    cmdContinue->setObjectName(QStringLiteral("cmdContinue"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* b : {cmdContinue, cmdCancel}) {
        b->setAutoDefault(false);
        platform::ClickOnEnter(b);
    }
    platform::ClickOnEnter(btnChooseFile);
    buttons->addStretch(1);
    buttons->addWidget(cmdContinue);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(btnChooseFile, &QPushButton::clicked, this, &TRawDataWindow::btnChooseFileClick);
    connect(cmdContinue, &QPushButton::clicked, this, &TRawDataWindow::cmdContinueClick);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    ShowVariables();
}

void TRawDataWindow::btnChooseFileClick()
{
    platform::RunCommandOnce(running_, [this] {
        std::optional<std::string> path = openDialog_.Execute();
        if (!path) return;
        RawDataTable table;
        bool read = false;
        // Off the interface thread: a large file keeps the windows painted
        // under the busy pointer; its refusal is shown by this thread.
        {
            Hourglass hourglass;
            platform::RunWhileBusy([&] { read = LoadRawDataFile(*path, table); });
        }
        // A file that cannot be read leaves the one read before.
        if (!read) return;
        table_ = std::move(table);
        loaded_ = true;
        ShowVariables();
    });
}

void TRawDataWindow::ShowVariables()
{
    lstVariables->clear();
    QStringList names{QString()};
    if (loaded_) {
        lblFile->setText(QString::fromStdString(table_.fileName) +
                         QStringLiteral(": %1 controls").arg(static_cast<qulonglong>(table_.rows)));
        for (const RawVariableOverview& v : NumericVariables(table_)) {
            const QString name = QString::fromStdString(v.name);
            auto* item = new QTreeWidgetItem(lstVariables);
            item->setText(0, name);
            item->setText(1, QString::number(v.count));
            item->setText(2, v.count > 0 ? QString::fromStdString(FormatC("%.3Lf", v.mean)) : QString());
            names << name;
        }
        lstVariables->resizeColumnToContents(0);
    }
    for (QComboBox* combo : {cboTask, cboCovariates[0], cboCovariates[1], cboCovariates[2], cboCovariates[3],
                             cboCovariates[4]}) {
        combo->clear();
        combo->addItems(names);
    }
}

void TRawDataWindow::cmdContinueClick()
{
    platform::RunCommandOnce(running_, [this] { Analyse(); });
}

void TRawDataWindow::Analyse()
{
    if (!loaded_) {
        platform::ShowError(NoFileMessage);
        btnChooseFile->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The covariates chosen, in their order; rows left empty are skipped.
    RawDataChoice choice;
    choice.task = cboTask->currentText().toStdString();
    choice.dropIncomplete = chkDropIncomplete->isChecked();
    std::vector<QLineEdit*> scoreFields{txtTaskScore};
    for (int j = 0; j < MaxCovariates; ++j) {
        if (cboCovariates[j]->currentText().isEmpty()) continue;
        choice.covariates.push_back(cboCovariates[j]->currentText().toStdString());
        scoreFields.push_back(txtCovariateScores[j]);
    }
    RawSummary summary;
    if (!SummariseRawData(table_, choice, summary)) return;

    std::vector<std::string> texts;
    for (QLineEdit* field : scoreFields) texts.push_back(field->text().toStdString());
    tVector scores;
    int refused = 0;
    if (!ReadCaseScores(summary, texts, scores, &refused)) {
        scoreFields[static_cast<std::size_t>(refused)]->setFocus(Qt::OtherFocusReason);
        scoreFields[static_cast<std::size_t>(refused)]->selectAll();
        return;
    }
    AnalysisInputs in;
    if (!PrepareRawAnalysis(summary, scores, in)) return;

    const int limit = radioButtons_->checkedId() >= 0 ? radioButtons_->checkedId() : 0;
    AnalysisOutputs out;
    {
        // Off the interface thread: the windows repaint, and take no input
        // until the report is there.
        Hourglass hourglass;
        platform::RunWhileBusy([&in, &out, limit] { RunAnalysis(in, limit, out); });
    }
    reportLines_ = ::ReportLines(afterEarlierLines_, RawReportHeading(summary, limit, notes_), in, out);
    figure_ = MakeFigureData(summary.names[0], limit, in, out);
    summary_ = SummarySentence(in, out, limit);
    accept();
}
