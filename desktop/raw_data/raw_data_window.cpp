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
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/run/command_guard.h"
#include "analysis/files/open_dialog.h"
#include "analysis/raw_data/raw_data_analysis.h"
#include "analysis/raw_data/raw_data_reader.h"
#include "analysis/run/compute_workflow.h"
#include "analysis/report/summary_sentence.h"
#include "desktop/app/busy_run.h"
#include "desktop/app/qt_app_helpers.h"
#include "desktop/case_series/case_series_runner.h"
#include "desktop/case_series/series_table_window.h"
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

// A label that names its control: the control's accessible name is the
// label's text without its mnemonic mark, and Alt+the marked letter moves
// to it.
QLabel* NamingLabel(const QString& text, QWidget* control, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(control);
    QString name = text;
    name.remove(QLatin1Char('&'));
    if (name.endsWith(QLatin1Char(':'))) name.chop(1);
    control->setAccessibleName(name);
    return label;
}

QPushButton* Button(const QString& text, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    QString accessible = text;
    accessible.remove(QLatin1Char('&'));
    button->setAccessibleName(accessible);
    button->setAutoDefault(false);
    platform::ClickOnEnter(button);
    return button;
}

QString Number(extended value) { return QString::fromStdString(FormatC("%.3Lf", value)); }

}  // namespace

TRawDataWindow::TRawDataWindow(QWidget* parent, platform::OpenDialog& openDialog, RawDataSession& session,
                               std::vector<std::string> notes, int credibleLimit, bool afterEarlierLines)
    : QDialog(parent),
      openDialog_(openDialog),
      session_(session),
      caseSeries_(std::make_unique<TCaseSeriesRunner>(this)),
      notes_(std::move(notes)),
      afterEarlierLines_(afterEarlierLines)
{
    BuildControls(session_.credibleLimit >= 0 ? session_.credibleLimit : credibleLimit);
    RestoreChoices();
}

TRawDataWindow::~TRawDataWindow() = default;

void TRawDataWindow::BuildControls(int credibleLimit)
{
    setObjectName(QStringLiteral("frmRawData"));
    setWindowTitle(QStringLiteral("Raw data of the control sample"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);

    auto* fileRow = new QHBoxLayout;
    btnChooseFile = Button(QStringLiteral("C&hoose file..."), "btnChooseFile", this);
    lblFile = new QLabel(QStringLiteral("No file chosen (CSV, SPSS .sav/.zsav or Stata .dta)"), this);
    lblFile->setObjectName(QStringLiteral("lblFile"));
    lblFile->setWordWrap(true);
    fileRow->addWidget(btnChooseFile);
    fileRow->addWidget(lblFile, 1);
    layout->addLayout(fileRow);

    lstVariables = new QTableWidget(0, 5, this);
    lstVariables->setObjectName(QStringLiteral("lstVariables"));
    layout->addWidget(NamingLabel(QStringLiteral("Numeric &variables of the file:"), lstVariables, this));
    lstVariables->setHorizontalHeaderLabels({QStringLiteral("Numeric variable"), QStringLiteral("N"),
                                             QStringLiteral("Missing"), QStringLiteral("Mean"),
                                             QStringLiteral("SD")});
    lstVariables->verticalHeader()->setVisible(false);
    lstVariables->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstVariables->setSelectionBehavior(QAbstractItemView::SelectRows);
    // The names take the room the window gives; the numbers keep to their width.
    lstVariables->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    lstVariables->setMinimumHeight(150);
    layout->addWidget(lstVariables, 1);

    auto* choices = new QGridLayout;
    choices->addWidget(new QLabel(QStringLiteral("Variable"), this), 0, 1);
    choices->addWidget(new QLabel(QStringLiteral("Score for case"), this), 0, 2);
    auto addRow = [&](int row, const QString& caption, const QString& name, QComboBox*& combo, QLineEdit*& score) {
        combo = new QComboBox(this);
        combo->setObjectName(QStringLiteral("cbo") + name);
        combo->setMinimumWidth(220);
        score = new QLineEdit(this);
        score->setObjectName(QStringLiteral("txt") + name + QStringLiteral("Score"));
        QString plain = caption;
        plain.remove(QLatin1Char('&'));
        plain.chop(1);  // the colon
        score->setAccessibleName(QStringLiteral("Score for case, ") + plain);
        choices->addWidget(NamingLabel(caption, combo, this), row, 0);
        choices->addWidget(combo, row, 1);
        choices->addWidget(score, row, 2);
    };
    addRow(1, QStringLiteral("&Task of interest:"), QStringLiteral("Task"), cboTask, txtTaskScore);
    for (int j = 0; j < MaxCovariates; ++j)
        addRow(j + 2, QStringLiteral("Covariate &%1:").arg(j + 1), QStringLiteral("Covariate%1").arg(j + 1),
               cboCovariates[j], txtCovariateScores[j]);
    choices->setColumnStretch(1, 2);
    choices->setColumnStretch(2, 1);
    layout->addLayout(choices);

    auto* limits = new QGroupBox(QStringLiteral("95% credible limit required..."), this);
    limits->setAccessibleName(limits->title());
    auto* limitsLayout = new QHBoxLayout(limits);
    radioButtons_ = new QButtonGroup(this);
    const char* items[3] = {"T&wo-sided", "One-sided &lower", "One-sided &upper"};
    for (int i = 0; i < 3; ++i) {
        RadioItems[i] = new QRadioButton(QString::fromLatin1(items[i]), limits);
        RadioItems[i]->setObjectName(QStringLiteral("RadioItem%1").arg(i));
        RadioItems[i]->setAccessibleName(RadioItems[i]->text().remove(QLatin1Char('&')));
        limitsLayout->addWidget(RadioItems[i]);
        radioButtons_->addButton(RadioItems[i], i);
    }
    RadioItems[credibleLimit >= 0 && credibleLimit < 3 ? credibleLimit : 0]->setChecked(true);
    layout->addWidget(limits);

    chkDropIncomplete = new QCheckBox(QStringLiteral("Leave out &incomplete controls"), this);
    chkDropIncomplete->setObjectName(QStringLiteral("chkDropIncomplete"));
    chkDropIncomplete->setAccessibleName(QStringLiteral("Leave out incomplete controls"));
    layout->addWidget(chkDropIncomplete);

    auto* buttons = new QHBoxLayout;
    cmdContinue = Button(QStringLiteral("C&ontinue"), "cmdContinue", this);
    cmdCaseSeries = Button(QStringLiteral("Case &series..."), "cmdCaseSeries", this);
    cmdCaseSeries->setToolTip(QStringLiteral("Analyse every case of a cases file against these controls"));
    cmdCancel = Button(QStringLiteral("C&ancel"), "cmdCancel", this);
    // Enter in a score field (or a choice) runs the analysis.
    cmdContinue->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(cmdContinue);
    buttons->addWidget(cmdCaseSeries);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    // Reading order: the file, its variables, each choice with its score, the limit, the buttons.
    QWidget* order[] = {btnChooseFile, lstVariables, cboTask, txtTaskScore};
    QWidget* previous = order[3];
    for (int i = 1; i < 4; ++i) setTabOrder(order[i - 1], order[i]);
    for (int j = 0; j < MaxCovariates; ++j) {
        setTabOrder(previous, cboCovariates[j]);
        setTabOrder(cboCovariates[j], txtCovariateScores[j]);
        previous = txtCovariateScores[j];
    }
    for (QWidget* next : std::initializer_list<QWidget*>{RadioItems[0], RadioItems[1], RadioItems[2],
                                                         chkDropIncomplete, cmdContinue, cmdCaseSeries, cmdCancel}) {
        setTabOrder(previous, next);
        previous = next;
    }

    connect(btnChooseFile, &QPushButton::clicked, this, &TRawDataWindow::btnChooseFileClick);
    connect(cmdContinue, &QPushButton::clicked, this, &TRawDataWindow::cmdContinueClick);
    connect(cmdCaseSeries, &QPushButton::clicked, this, &TRawDataWindow::cmdCaseSeriesClick);
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
        RememberChoices();
        session_.table = std::move(table);
        session_.path = *path;
        session_.loaded = true;
        ShowVariables();
        // The choices of the file before stay where the new file has the same variables.
        RestoreChoices();
    });
}

void TRawDataWindow::ShowVariables()
{
    lstVariables->setRowCount(0);
    QStringList names{QString()};
    if (session_.loaded) {
        const RawDataTable& table = session_.table;
        lblFile->setText(QString::fromStdString(table.fileName) +
                         QStringLiteral(": %1 controls").arg(static_cast<qulonglong>(table.rows)));
        lblFile->setToolTip(QString::fromStdString(session_.path));
        for (const RawVariableOverview& v : NumericVariables(table)) {
            const QString name = QString::fromStdString(v.name);
            const int row = lstVariables->rowCount();
            lstVariables->insertRow(row);
            const QString texts[5] = {name, QString::number(v.count), QString::number(v.missing),
                                      v.count > 0 ? Number(v.mean) : QString(),
                                      v.count > 1 ? Number(v.sd) : QString()};
            for (int c = 0; c < 5; ++c) {
                auto* item = new QTableWidgetItem(texts[c]);
                if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                lstVariables->setItem(row, c, item);
            }
            names << name;
        }
        for (int c = 1; c < 5; ++c) lstVariables->resizeColumnToContents(c);
    }
    for (QComboBox* combo : {cboTask, cboCovariates[0], cboCovariates[1], cboCovariates[2], cboCovariates[3],
                             cboCovariates[4]}) {
        combo->clear();
        combo->addItems(names);
    }
}

void TRawDataWindow::RestoreChoices()
{
    auto choose = [](QComboBox* combo, const std::string& name) {
        const int index = combo->findText(QString::fromStdString(name));
        combo->setCurrentIndex(index >= 0 ? index : 0);
    };
    choose(cboTask, session_.task);
    for (int j = 0; j < MaxCovariates; ++j) choose(cboCovariates[j], session_.covariates[j]);
    chkDropIncomplete->setChecked(session_.dropIncomplete);
}

void TRawDataWindow::RememberChoices()
{
    session_.task = cboTask->currentText().toStdString();
    for (int j = 0; j < MaxCovariates; ++j) session_.covariates[j] = cboCovariates[j]->currentText().toStdString();
    session_.dropIncomplete = chkDropIncomplete->isChecked();
    session_.credibleLimit = CredibleLimit();
}

int TRawDataWindow::CredibleLimit() const
{
    return radioButtons_->checkedId() >= 0 ? radioButtons_->checkedId() : 0;
}

void TRawDataWindow::done(int result)
{
    RememberChoices();
    if (QWidget* owner = parentWidget()) {
        for (TSeriesTableWindow* table : findChildren<TSeriesTableWindow*>(QString(), Qt::FindDirectChildrenOnly)) {
            const bool shown = table->isVisible();
            table->setParent(owner, table->windowFlags());
            if (shown) table->show();
        }
    }
    QDialog::done(result);
}

void TRawDataWindow::cmdContinueClick()
{
    platform::RunCommandOnce(running_, [this] { Analyse(); });
}

void TRawDataWindow::cmdCaseSeriesClick()
{
    platform::RunCommandOnce(running_, [this] { CaseSeries(); });
}

bool TRawDataWindow::SummariseChoice(RawSummary& summary, std::vector<QLineEdit*>& scoreFields)
{
    RawDataChoice choice;
    return ReadChoice(choice, scoreFields) && SummariseRawData(session_.table, choice, summary);
}

bool TRawDataWindow::ReadChoice(RawDataChoice& choice, std::vector<QLineEdit*>& scoreFields)
{
    if (!session_.loaded) {
        platform::ShowError(NoFileMessage);
        btnChooseFile->setFocus(Qt::OtherFocusReason);
        return false;
    }
    RememberChoices();
    choice = RawDataChoice();
    choice.task = cboTask->currentText().toStdString();
    choice.dropIncomplete = chkDropIncomplete->isChecked();
    scoreFields = {txtTaskScore};
    for (int j = 0; j < MaxCovariates; ++j) {
        if (cboCovariates[j]->currentText().isEmpty()) continue;
        choice.covariates.push_back(cboCovariates[j]->currentText().toStdString());
        scoreFields.push_back(txtCovariateScores[j]);
    }
    return true;
}

void TRawDataWindow::Analyse()
{
    std::vector<QLineEdit*> scoreFields;
    RawSummary summary;
    if (!SummariseChoice(summary, scoreFields)) return;

    std::vector<std::string> texts;
    for (QLineEdit* field : scoreFields) texts.push_back(field->text().toStdString());
    tVector scores;
    int refused = 0;
    if (!ReadCaseScores(summary, texts, scores, &refused)) {
        scoreFields[static_cast<std::size_t>(refused)]->setFocus(Qt::OtherFocusReason);
        scoreFields[static_cast<std::size_t>(refused)]->selectAll();
        return;
    }
    PreparedCompute prepared = PrepareSummaryCompute(summary, scores, ComputePurpose::SingleCase);
    if (prepared.status != PreparedCompute::Ready) return;
    const AnalysisInputs& in = prepared.in;

    const int limit = CredibleLimit();
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

// The controls as the command line's --cases takes them from the same file
// and choices; the case scores typed here are not used.
void TRawDataWindow::CaseSeries()
{
    std::vector<QLineEdit*> scoreFields;
    RawSummary summary;
    if (!SummariseChoice(summary, scoreFields)) return;
    const PreparedCompute prepared = PrepareSummaryCompute(summary, tVector(), ComputePurpose::CaseSeries);
    if (prepared.status != PreparedCompute::Ready) return;
    caseSeries_->Run(prepared.in, CredibleLimit());
}
