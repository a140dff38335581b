#include "desktop/worksheet/worksheet_window.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>

#include <QApplication>
#include <QClipboard>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QTableWidgetSelectionRange>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QShowEvent>
#include <QStyle>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "analysis/worksheet/input_rules.h"
#include "analysis/files/text_file.h"
#include "analysis/worksheet/cell_lengths.h"
#include "analysis/worksheet/pasted_block.h"
#include "desktop/dialogs/qt_save_dialog.h"
#include "analysis/case_series/case_series.h"
#include "desktop/case_series/case_series_runner.h"
#include "desktop/app/about_box.h"
#include "desktop/app/busy_run.h"
#include "desktop/worksheet/matrix_entry_window.h"
#include "desktop/dialogs/qt_open_dialog.h"
#include "desktop/raw_data/raw_data_window.h"
#include "analysis/report/summary_sentence.h"
#include "analysis/run/command_guard.h"
#include "foundation/messages.h"
#include "desktop/app/data_location.h"
#include "desktop/app/qt_app_helpers.h"
#include "desktop/results/results_window.h"
#include "analysis/run/compute_workflow.h"
#include "analysis/report/report.h"
#include "analysis/worksheet/worksheet_description.h"
#include "desktop/worksheet/worksheet_grid.h"
#include "render/report_pdf.h"

namespace {

constexpr char ClearDataQuestion[] =
    "Clear all the data on the worksheet and delete the kept worksheet file?\r"
    "\"Undo Clear\" brings them back until the next Continue.";
constexpr char UndoClearCaption[] = "&Undo Clear";
constexpr char ClearDataCaption[] = "C&lear Data";
constexpr char ContinueCaption[] = "&Continue";
// The labels with their mnemonics; messages and reports quote the captions
// without them (worksheet_data.h).
constexpr char CovariatesMnemonicCaption[] = "Number of co&variates : ";
constexpr char SampleSizeMnemonicCaption[] = "Sample size (&N) of control sample:";
constexpr char NotesMnemonicCaption[] = "User's N&otes:";
constexpr char GridMnemonicCaption[] = "&Data: one row per test (the task first, then each covariate)";
constexpr char WorksheetFilter[] = "Worksheets (*.txt);;All files (*)";
// The content's room at scale 1; smaller screens scroll it.
constexpr int DefaultWidth = 792;
constexpr int DefaultHeight = 585;
constexpr int MinimumWidth = 320;
constexpr int MinimumHeight = 240;
constexpr int VisibleGridRows = 6;
constexpr int HeadingHeight = 33;
constexpr int NotesMaxLength = 250;
constexpr int NotesHeight = 25;
constexpr int NotesOpenHeight = 70;
constexpr int DescriptionMinHeight = 48;
constexpr int DescriptionScrollLength = 550;

QFont FormFont()
{
    QFont font(QStringLiteral("System"));
    font.setPixelSize(13);
    return font;
}

QFont BoldFont()
{
    QFont font = FormFont();
    font.setBold(true);
    return font;
}

// The numeric fields are 56 wide, or wider where the bold font needs it to
// show six digits whole (the field's frame, its own margins and the cursor
// included).
int FieldWidth(const QLineEdit* field)
{
    const int frame = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, field);
    const int text = field->fontMetrics().horizontalAdvance(QStringLiteral("999999"));
    return std::max(56, text + 2 * frame + 4 + 1);
}

QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumSize(150, 37);
    button->setFont(BoldFont());
    button->setAutoDefault(false);
    platform::ClickOnEnter(button);
    return button;
}

// The caption without its mnemonic mark, as a screen reader says it.
QString PlainCaption(const QString& caption)
{
    QString plain = caption;
    plain.remove(QLatin1Char('&'));
    return plain.trimmed().remove(QRegularExpression(QStringLiteral("\\s*:$")));
}

// The character a key press types, as a key-press handler sees it; 0 for
// keys that type none (arrows, Delete, function keys, modifiers alone).
// Characters outside ASCII come as '?', which no numeric field takes.
char TypedCharacter(const QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete) return 0;
    const QString text = event->text();
    if (text.isEmpty()) return 0;
    const char16_t ch = text.at(0).unicode();
    if (ch == 0 || ch == 0x7f) return 0;
    return ch < 0x80 ? static_cast<char>(ch) : '?';
}

// Passes a typed character through FilterNumericKey: swallowed, or sent
// again as the character the filter turned it into (',' becomes '.').
// True when the original key press must go no further.
bool FilterKeyEvent(QKeyEvent* event, QObject* target)
{
    // Shortcuts (Ctrl+C, Ctrl+A, Ctrl+Z, Alt mnemonics) type no character.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const char typed = TypedCharacter(event);
    if (!typed) return false;
    const char passed = FilterNumericKey(typed);
    if (passed == typed) return false;
    if (passed != '\0') {
        const int key = passed == '.' ? int(Qt::Key_Period) : int(passed);
        QKeyEvent replacement(QEvent::KeyPress, key, event->modifiers(), QString(QLatin1Char(passed)));
        QCoreApplication::sendEvent(target, &replacement);
    }
    return true;
}

}  // namespace

TfrmTemplate::TfrmTemplate(const std::string& dataFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      dataFolder_(dataFolder)
{
    quit_ = [] { QCoreApplication::exit(0); };
    BuildControls();
    FormCreate();
}

TfrmTemplate::~TfrmTemplate()
{
    // Closing the window below moves the focus; this part is gone by then.
    disconnect(focusConnection_);
    grdData->keyPressHook = nullptr;
    grdData->keyReleaseHook = nullptr;
}

// ---- Layout ---------------------------------------------------------------------

void TfrmTemplate::BuildControls()
{
    setObjectName(QStringLiteral("frmTemplate"));
    setFont(FormFont());
    setMinimumSize(MinimumWidth, MinimumHeight);

    // The window: its menu bar over the content, which scrolls when the
    // screen is smaller than the content needs.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("menuBar"));
    outer->setMenuBar(menuBar_);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("contentScroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    outer->addWidget(scroll_);
    content_ = new QWidget;
    content_->setObjectName(QStringLiteral("content"));
    scroll_->setWidget(content_);
    auto* column = new QVBoxLayout(content_);
    column->setContentsMargins(12, 7, 12, 7);

    DescripFld = new QPlainTextEdit(content_);
    DescripFld->setObjectName(QStringLiteral("DescripFld"));
    DescripFld->setReadOnly(true);
    DescripFld->setFocusPolicy(Qt::NoFocus);
    DescripFld->setAccessibleName(QStringLiteral("Description"));
    QFont descriptionFont(QStringLiteral("MS Sans Serif"));
    descriptionFont.setPixelSize(11);
    DescripFld->setFont(descriptionFont);
    DescripFld->setMinimumHeight(DescriptionMinHeight);
    DescripFld->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    QPalette descriptionPalette = DescripFld->palette();
    descriptionPalette.setColor(QPalette::Base, descriptionPalette.color(QPalette::Button));
    DescripFld->setPalette(descriptionPalette);
    connect(DescripFld, &QPlainTextEdit::textChanged, this,
            [this] { platform::RunCommand([this] { DescripFldChange(); }); });
    column->addWidget(DescripFld, 1);

    pnlComments = new QFrame(content_);
    pnlComments->setObjectName(QStringLiteral("pnlComments"));
    pnlComments->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* notesRow = new QHBoxLayout(pnlComments);
    notesRow->setContentsMargins(4, 4, 2, 4);
    lblComments = new QLabel(QString::fromLatin1(NotesMnemonicCaption), pnlComments);
    lblComments->setObjectName(QStringLiteral("lblComments"));
    lblComments->setFont(BoldFont());
    lblComments->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    memoComments = new QPlainTextEdit(pnlComments);
    memoComments->setObjectName(QStringLiteral("memoComments"));
    memoComments->setAccessibleName(QString::fromLatin1(NotesCaption).remove(QLatin1Char(':')));
    memoComments->setFont(platform::ReportTextFont());
    memoComments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoComments->setTabChangesFocus(true);
    memoComments->setFixedHeight(NotesHeight);
    memoComments->installEventFilter(this);
    lblComments->setBuddy(memoComments);
    connect(memoComments, &QPlainTextEdit::textChanged, this,
            [this] { platform::RunCommand([this] { memoCommentsChange(); }); });
    notesRow->addWidget(lblComments);
    notesRow->addWidget(memoComments, 1);
    column->addWidget(pnlComments);

    Panel1 = new QFrame(content_);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* panel = new QVBoxLayout(Panel1);
    auto* choices = new QHBoxLayout;
    panel->addLayout(choices);

    // Left: room for eight labelled fields (the first FieldsShown are shown)
    // and the tick box; right: the credible-limit choice and "Raw data...".
    auto* fieldsColumn = new QVBoxLayout;
    auto* fieldGrid = new QGridLayout;
    fieldGrid->setVerticalSpacing(10);
    for (int f = 0; f < NumericFieldCount; ++f) {
        auto* label = new QLabel(Panel1);
        label->setObjectName(QStringLiteral("Label%1").arg(f + 1));
        auto* field = new QLineEdit(Panel1);
        field->setObjectName(f == 7 ? QStringLiteral("txtinput8") : QStringLiteral("txtInput%1").arg(f + 1));
        field->setFont(BoldFont());
        field->setFixedWidth(FieldWidth(field));
        field->installEventFilter(this);
        fieldGrid->addWidget(label, f, 0);
        fieldGrid->addWidget(field, f, 1);
        Labels[f] = label;
        txtInputs[f] = field;
        if (f > 0)
            connect(field, &QLineEdit::textChanged, this, [this, f](const QString& text) {
                if (updating_) return;
                platform::RunCommand([&] { data_.fields[f] = text.toStdString(); });
                MarkModified();
            });
    }
    fieldGrid->setColumnStretch(0, 1);
    fieldsColumn->addLayout(fieldGrid);
    Label1 = Labels[0];
    Label2 = Labels[1];
    txtInput1 = txtInputs[0];
    txtInput2 = txtInputs[1];
    connect(txtInput1, &QLineEdit::textChanged, this, [this] {
        if (updating_) return;
        platform::RunCommand([this] { txtInput1Change(); });
        MarkModified();
    });

    chkExact = new QCheckBox(QStringLiteral("Also report the fre&quentist test (exact values)"), Panel1);
    chkExact->setObjectName(QStringLiteral("chkExact"));
    connect(chkExact, &QCheckBox::toggled, this, [this](bool checked) {
        if (updating_) return;
        data_.reportExact = checked;
        MarkModified();
    });
    fieldsColumn->addWidget(chkExact);
    fieldsColumn->addStretch(1);
    choices->addLayout(fieldsColumn, 1);
    choices->addSpacing(24);

    auto* choiceColumn = new QVBoxLayout;
    RadioGroup1 = new QGroupBox(QStringLiteral("95% credible limit required..."), Panel1);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    auto* radioLayout = new QVBoxLayout(RadioGroup1);
    radioButtons_ = new QButtonGroup(this);
    const char* items[3] = {"&Two-sided", "One-sided  lo&wer", "One-sided &upper"};
    for (int i = 0; i < 3; ++i) {
        RadioItems[i] = new QRadioButton(QString::fromLatin1(items[i]), RadioGroup1);
        RadioItems[i]->setObjectName(QStringLiteral("RadioItem%1").arg(i));
        radioLayout->addWidget(RadioItems[i]);
        radioButtons_->addButton(RadioItems[i], i);
    }
    RadioItems[TwoSided]->setChecked(true);
    connect(radioButtons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (!checked || updating_) return;
        data_.credibleLimit = id;
        MarkModified();
    });
    choiceColumn->addWidget(RadioGroup1);

    // Raw control data: under the credible-limit choice.
    btnRawData = new QPushButton(QStringLiteral("&Raw data..."), Panel1);
    btnRawData->setObjectName(QStringLiteral("btnRawData"));
    btnRawData->setFont(BoldFont());
    btnRawData->setAutoDefault(false);
    platform::ClickOnEnter(btnRawData);
    rawDataDialog_ = std::make_unique<platform::QtOpenDialog>(
        this, "Raw data of the control sample",
        "Raw data (*.csv *.txt *.sav *.zsav *.dta);;All files (*)");
    connect(btnRawData, &QPushButton::clicked, this, &TfrmTemplate::btnRawDataClick);
    choiceColumn->addWidget(btnRawData);
    choiceColumn->addStretch(1);
    choices->addLayout(choiceColumn);

    // The grid, centred under its title and its column headings.
    grdData = new TWorksheetGrid(Panel1);
    grdData->setObjectName(QStringLiteral("grdData"));
    grdData->setAccessibleName(QStringLiteral("Data grid"));
    grdData->setColumnCount(GridColumns);
    grdData->keyPressHook = [this](QKeyEvent* event, QObject* target) {
        bool handled = false;
        platform::RunCommand([&] { handled = grdDataKeyPress(event, target); });
        return handled;
    };
    grdData->keyReleaseHook = [this](QKeyEvent* event) {
        if (IsReleaseOfPressedKey(grdData, event->key())) platform::RunCommand([this] { grdDataKeyUp(); });
    };
    connect(grdData, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (updating_ || item->column() < NameColumn || item->row() >= GridRowCapacity) return;
        platform::RunCommand([&] { data_.Cell(item->row(), item->column()) = item->text().toStdString(); });
        MarkModified();
    });

    lblGridColumnsTitle = new QLabel(QString::fromLatin1(GridMnemonicCaption), Panel1);
    lblGridColumnsTitle->setObjectName(QStringLiteral("lblGridColumnsTitle"));
    lblGridColumnsTitle->setAlignment(Qt::AlignCenter);
    lblGridColumnsTitle->setBuddy(grdData);
    lblItems = new QLabel(Panel1);
    lblItems->setObjectName(QStringLiteral("lblItems"));
    auto* headings = new QHBoxLayout;
    headings->setSpacing(0);
    headings->setContentsMargins(grdData->frameWidth(), 0, 0, 0);
    headings->addWidget(lblItems);
    for (int n = 0; n < 6; ++n) {
        lblCols[n] = new QLabel(Panel1);
        lblCols[n]->setObjectName(QStringLiteral("lblCol%1").arg(n + 1));
        headings->addWidget(lblCols[n]);
    }
    headings->addStretch(1);
    for (QLabel* heading : {lblItems, lblCols[0], lblCols[1], lblCols[2], lblCols[3], lblCols[4], lblCols[5]}) {
        heading->setFixedSize(TWorksheetGrid::ColWidth + TWorksheetGrid::GridLineWidth, HeadingHeight);
        heading->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        // One line each: a word-wrapped label would make the window ask for
        // more height than it needs.
    }
    auto* gridBlock = new QVBoxLayout;
    gridBlock->setSpacing(0);
    gridBlock->addLayout(headings);
    gridBlock->addWidget(grdData);
    auto* gridRow = new QHBoxLayout;
    gridRow->addStretch(1);
    gridRow->addLayout(gridBlock);
    gridRow->addStretch(1);
    panel->addSpacing(8);
    panel->addWidget(lblGridColumnsTitle);
    panel->addLayout(gridRow);
    panel->addStretch(1);
    column->addWidget(Panel1);

    pnlButtons = new QFrame(content_);
    pnlButtons->setObjectName(QStringLiteral("pnlButtons"));
    pnlButtons->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* buttons = new QHBoxLayout(pnlButtons);
    buttons->setContentsMargins(16, 6, 16, 6);
    buttons->setSpacing(24);
    cmdCompute = MakeButton("cmdCompute", ContinueCaption, pnlButtons);
    btnclearData = MakeButton("btnclearData", ClearDataCaption, pnlButtons);
    btnCaseSeries = MakeButton("btnCaseSeries", "Case &series...", pnlButtons);
    ExitBtn = MakeButton("ExitBtn", "E&xit", pnlButtons);
    for (QPushButton* button : {cmdCompute, btnclearData, btnCaseSeries, ExitBtn}) buttons->addWidget(button);
    column->addWidget(pnlButtons);
    caseSeries_ = std::make_unique<TCaseSeriesRunner>(this);
    connect(cmdCompute, &QPushButton::clicked, this, &TfrmTemplate::cmdComputeClick);
    connect(btnclearData, &QPushButton::clicked, this, &TfrmTemplate::btnclearDataClick);
    connect(ExitBtn, &QPushButton::clicked, this, &TfrmTemplate::ExitBtnClick);
    connect(btnCaseSeries, &QPushButton::clicked, this, &TfrmTemplate::btnCaseSeriesClick);

    BuildMenus();

    // Keyboard path through the window in reading order: the notes, the two
    // counts and the tick box (left), the choice and "Raw data..." (right),
    // the grid, the buttons.
    QWidget* order[] = {memoComments, txtInput1, txtInput2, chkExact, RadioItems[0], RadioItems[1], RadioItems[2],
                        btnRawData, grdData, cmdCompute, btnclearData, btnCaseSeries, ExitBtn};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    setTabOrder(ExitBtn, memoComments);

    focusConnection_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        platform::RunCommand([&] { FocusChanged(old, now); });
    });
}

void TfrmTemplate::BuildMenus()
{
    QMenu* file = menuBar_->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    auto add = [this, file](const char* name, const char* caption, const QKeySequence& keys, void (TfrmTemplate::*slot)()) {
        QAction* action = file->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add("actNew", "&New", QKeySequence::New, &TfrmTemplate::FileNewClick);
    add("actOpen", "&Open...", QKeySequence::Open, &TfrmTemplate::FileOpenClick);
    recentMenu_ = file->addMenu(QStringLiteral("Open &Recent"));
    recentMenu_->setObjectName(QStringLiteral("menuRecent"));
    add("actSave", "&Save", QKeySequence::Save, &TfrmTemplate::FileSaveClick);
    add("actSaveAs", "Save &As...", QKeySequence(QStringLiteral("Ctrl+Shift+S")), &TfrmTemplate::FileSaveAsClick);
    file->addSeparator();
    add("actExit", "E&xit", QKeySequence(QStringLiteral("Ctrl+Q")), &TfrmTemplate::ExitBtnClick);
    platform::AddHelpMenu(menuBar_, this);
    worksheetOpenDialog_ = std::make_unique<platform::QtOpenDialog>(this, "Open worksheet", WorksheetFilter);
    worksheetSaveDialog_ = std::make_unique<platform::QtSaveDialog>(this, "worksheet.txt", WorksheetFilter);
    LoadRecentFiles();
}

// ---- Start-up ---------------------------------------------------------------------

void TfrmTemplate::FormCreate()
{
    updating_ = true;
    memoComments->clear();
    data_.Reset();
    for (QLineEdit* field : txtInputs) field->clear();
    DescripFld->setPlainText(QString::fromStdString(WorksheetDescription()));
    Label1->setText(QString::fromLatin1(CovariatesMnemonicCaption));
    Label2->setText(QString::fromLatin1(SampleSizeMnemonicCaption));
    data_.SetGridRows(StartGridRows);
    updating_ = false;
    LoadPreviousData();
    MarkSaved("");
    // Room for the content as laid out (the screen may cut it down when shown).
    const QSize content = content_->minimumSizeHint().expandedTo(QSize(DefaultWidth, DefaultHeight));
    resize(content.width(), content.height() + menuBar_->sizeHint().height());
}

void TfrmTemplate::LoadPreviousData()
{
    const DataFileResult result = ::LoadPreviousData(DataPath(), data_);
    ShowData();
    for (int f = 0; f < NumericFieldCount; ++f) {
        Labels[f]->setVisible(f < FieldsShown);
        txtInputs[f]->setVisible(f < FieldsShown);
        // Screen readers and testing tools find each field by its label.
        Labels[f]->setBuddy(txtInputs[f]);
        txtInputs[f]->setAccessibleName(PlainCaption(Labels[f]->text()));
    }
    if (result.status == DataFileResult::InvalidNumber || result.status == DataFileResult::FileError)
        platform::ShowError(result.message);
}

void TfrmTemplate::SetResultsWindow(TfrmTemplateResults* results)
{
    if (results_) disconnect(results_, nullptr, this, nullptr);
    results_ = results;
    if (!results_) return;
    connect(results_, &TfrmTemplateResults::ReturnToWorksheet, this, [this] {
        platform::RunCommand([this] { show(); });
    });
    // Leaving the program from the results keeps no unsaved worksheet unasked.
    // Kept, the worksheet comes back beside the results, to be saved there
    // (the results window counts itself as ending by now).
    results_->SetQuitHandler([this] {
        if (ResolveUnsavedChanges())
            EndProgram();
        else
            show();
    });
}

void TfrmTemplate::SetQuitHandler(std::function<void()> quit) { quit_ = std::move(quit); }

const WorksheetData& TfrmTemplate::Data()
{
    ReadWidgets();
    return data_;
}

std::string TfrmTemplate::DataPath() const { return DataFilePath(dataFolder_); }

// ---- Model and controls ------------------------------------------------------------

void TfrmTemplate::ReadWidgets()
{
    for (int f = 0; f < NumericFieldCount; ++f) data_.fields[f] = txtInputs[f]->text().toStdString();
    data_.notes = SplitNotes(memoComments->toPlainText().toStdString());
    const int choice = radioButtons_->checkedId();
    data_.credibleLimit = choice >= 0 ? choice : int(TwoSided);
    data_.reportExact = chkExact->isChecked();
    ReadGridCells();
}

void TfrmTemplate::ReadGridCells()
{
    const int rows = std::min(grdData->rowCount(), GridRowCapacity);
    for (int r = 0; r < rows; ++r)
        for (int c = NameColumn; c < GridColumns; ++c) data_.Cell(r, c) = grdData->CellText(r, c).toStdString();
}

void TfrmTemplate::ShowData()
{
    updating_ = true;
    for (int f = 0; f < NumericFieldCount; ++f) txtInputs[f]->setText(QString::fromStdString(data_.fields[f]));
    QString notes;
    for (std::size_t i = 0; i < data_.notes.size(); ++i) {
        if (i) notes += QLatin1Char('\n');
        notes += QString::fromStdString(data_.notes[i]);
    }
    memoComments->setPlainText(notes);
    if (data_.credibleLimit >= 0 && data_.credibleLimit < 3) RadioItems[data_.credibleLimit]->setChecked(true);
    chkExact->setChecked(data_.reportExact);
    grdData->SetRows(data_.GridRows);
    for (int r = 0; r < data_.GridRows; ++r)
        for (int c = NameColumn; c < GridColumns; ++c)
            grdData->SetCellText(r, c, QString::fromStdString(data_.Cell(r, c)));
    updating_ = false;
    SizeGrid();
}

// The grid follows GridRows; rows that come back show what the model kept
// for them (default names included).
void TfrmTemplate::ApplyGridRows()
{
    const int before = grdData->rowCount();
    updating_ = true;
    grdData->SetRows(data_.GridRows);
    for (int r = before; r < data_.GridRows; ++r)
        for (int c = NameColumn; c < GridColumns; ++c)
            grdData->SetCellText(r, c, QString::fromStdString(data_.Cell(r, c)));
    updating_ = false;
    SizeGrid();
}

void TfrmTemplate::SizeGrid()
{
    const int w = TWorksheetGrid::ColWidth;
    const int h = TWorksheetGrid::RowHeight;
    int width = (w + 1) * GridColumns + 3;
    int height = (h + 1) * data_.GridRows + 4;
    if (data_.GridRows >= VisibleGridRows) height = (h + 1) * VisibleGridRows + 4;
    // Rows to scroll to: the visible part ends on a row boundary, with no
    // sliver of the next row under the last one shown.
    if (data_.GridRows > VisibleGridRows) height = (h + 1) * VisibleGridRows + 2 * grdData->frameWidth();
    if (data_.GridRows > VisibleGridRows) width += grdData->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grdData);
    grdData->setFixedSize(width, height);
    grdData->update();
    // The panels around the grid make room for it at once, not at the next resize.
    for (QWidget* panel = grdData->parentWidget(); panel && panel != this; panel = panel->parentWidget())
        if (panel->layout()) panel->layout()->activate();

    lblGridColumnsTitle->show();
    lblItems->show();
    for (int n = 1; n <= 6; ++n) lblCols[n - 1]->setVisible(GridColumns >= n + 1);

    updating_ = true;
    for (int r = 0; r < data_.GridRows && r < grdData->rowCount(); ++r)
        grdData->SetCellText(r, 0, QString::fromStdString(WorksheetData::RowNumberText(r)));
    updating_ = false;

    lblItems->setText(QString::fromLatin1(ItemsCaption));
    const char* headings[6] = {"Name", "Mean", SDCaption, "Score", "", ""};
    for (int n = 0; n < 6; ++n) lblCols[n]->setText(QString::fromLatin1(headings[n]));
}

// ---- Window events ---------------------------------------------------------------

void TfrmTemplate::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    if (!centred_) {
        centred_ = true;
        platform::FitAndCentreOnScreen(this);
    }
    activatedSinceShow_ = false;
    platform::RunCommand([this] { FormShow(); });
}

void TfrmTemplate::FormShow()
{
    if (txtInput1->text().isEmpty()) {
        txtInput1->setFocus(Qt::OtherFocusReason);
    } else {
        platform::BringToFront(this);
        txtInput2->setFocus(Qt::OtherFocusReason);
    }
}

bool TfrmTemplate::event(QEvent* event)
{
    // The first activation after each showing; not the reactivation after a
    // message box, which would move the grid away from a refused cell.
    if (event->type() == QEvent::WindowActivate && !activatedSinceShow_) {
        activatedSinceShow_ = true;
        platform::RunCommand([this] { FormActivate(); });
    }
    return QWidget::event(event);
}

void TfrmTemplate::FormActivate()
{
    if (grdData->isVisible()) grdData->setCurrentCell(0, MeanColumn);
}

void TfrmTemplate::closeEvent(QCloseEvent* event)
{
    if (ending_ || !isVisible() || !isWindowModified()) {
        platform::CloseAsExit(this, event, ending_, [this] { EndProgram(); });
        return;
    }
    event->ignore();
    platform::RunCommand([&] {
        if (!ResolveUnsavedChanges()) return;
        event->accept();
        EndProgram();
    });
}

bool TfrmTemplate::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == memoComments) {
        if (type == QEvent::FocusIn) {
            platform::RunCommand([this] { memoCommentsEnter(); });
        } else if (type == QEvent::FocusOut) {
            platform::RunCommand([this] { memoCommentsExit(); });
        } else if (type == QEvent::KeyPress) {
            NoteKeyPress(memoComments, static_cast<QKeyEvent*>(event)->key());
        } else if (type == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (IsReleaseOfPressedKey(memoComments, key)) platform::RunCommand([&] { memoCommentsKeyUp(key); });
        }
        return QWidget::eventFilter(watched, event);
    }

    for (int f = 0; f < NumericFieldCount; ++f) {
        if (watched != txtInputs[f]) continue;
        if (type == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            NoteKeyPress(watched, key->key());
            // Enter in a field runs Continue, as the window's default command.
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                !(key->modifiers() & ~Qt::KeypadModifier)) {
                if (!key->isAutoRepeat()) cmdComputeClick();
                return true;
            }
            bool handled = false;
            if (f > 0) platform::RunCommand([&] { handled = txtInput2KeyPress(key, watched); });
            if (handled) return true;
        } else if (type == QEvent::KeyRelease) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (IsReleaseOfPressedKey(watched, key->key())) {
                if (f == 0)
                    platform::RunCommand([this] { txtInput1KeyUp(); });
                else
                    platform::RunCommand([&] { txtInput2KeyUp(f); });
            }
        } else if (type == QEvent::FocusOut && f == 0) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                platform::RunCommand([this] { txtInput1Exit(); });
        }
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmTemplate::NoteKeyPress(QObject* control, int key)
{
    if (control != keyControl_) {
        keyControl_ = control;
        pressedKeys_.clear();
    }
    pressedKeys_.insert(key);
}

bool TfrmTemplate::IsReleaseOfPressedKey(QObject* control, int key)
{
    return control == keyControl_ && pressedKeys_.remove(key);
}

void TfrmTemplate::FocusChanged(QWidget* old, QWidget* now)
{
    // The grid is left when the focus moves to another control of this
    // window (not when a message box or another window takes it).
    if (grdData->Owns(old) && now && !grdData->Owns(now) && now->window() == this) grdDataExit();
}

// ---- Handlers ----------------------------------------------------------------------

void TfrmTemplate::DescripFldChange()
{
    const bool longText = DescripFld->toPlainText().size() > DescriptionScrollLength;
    DescripFld->setVerticalScrollBarPolicy(longText ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TfrmTemplate::memoCommentsChange()
{
    const QString text = memoComments->toPlainText();
    if (text.size() > NotesMaxLength) {
        const QSignalBlocker block(memoComments);
        memoComments->setPlainText(text.left(NotesMaxLength));
        memoComments->moveCursor(QTextCursor::End);
    }
    if (updating_) return;
    data_.notes = SplitNotes(memoComments->toPlainText().toStdString());
    MarkModified();
}

void TfrmTemplate::memoCommentsEnter()
{
    if (memoComments->document()->blockCount() > 1) memoComments->setFixedHeight(NotesOpenHeight);
}

void TfrmTemplate::memoCommentsKeyUp(int key)
{
    if (memoComments->document()->blockCount() > 1 || key == Qt::Key_Return || key == Qt::Key_Enter)
        memoComments->setFixedHeight(NotesOpenHeight);
}

void TfrmTemplate::memoCommentsExit() { memoComments->setFixedHeight(NotesHeight); }

void TfrmTemplate::txtInput1Change()
{
    const std::string text = txtInput1->text().toStdString();
    data_.fields[CovariatesField] = text;
    ReadGridCells();  // what was typed in rows about to go stays in the model
    if (ApplyCovariateText(data_, text)) ApplyGridRows();
}

void TfrmTemplate::txtInput1KeyUp()
{
    if (ParseNumber(txtInput1->text().toStdString()) > 12) {
        platform::ShowWarning(GridRowsLimitMessage);
        txtInput1->setText(QStringLiteral("12"));
        txtInput1->selectAll();
    }
}

void TfrmTemplate::txtInput1Exit()
{
    if (grdData->isVisible()) grdData->setCurrentCell(0, NameColumn);
}

bool TfrmTemplate::txtInput2KeyPress(QKeyEvent* event, QObject* target)
{
    if (event->matches(QKeySequence::Paste)) {
        // A number pastes as typed; any other text is refused once.
        const std::string pasted = QApplication::clipboard()->text().trimmed().toStdString();
        if (IsNumberText(pasted)) return false;
        int field = 0;
        while (field < NumericFieldCount && txtInputs[field] != target) ++field;
        const std::string label = field < NumericFieldCount ? Labels[field]->text().remove(QLatin1Char('&')).toStdString() : "";
        platform::ShowWarning("\"" + pasted + "\" is not a number: " + label + " takes numeric data only.");
        return true;
    }
    return FilterKeyEvent(event, target);
}

void TfrmTemplate::txtInput2KeyUp(int field)
{
    QLineEdit* edit = txtInputs[field];
    if (edit->text().size() > static_cast<int>(MaxInputLength)) {
        const std::string cut = LimitInputLength(edit->text().toStdString());
        edit->setText(QString::fromStdString(cut));
        edit->selectAll();
    }
}

bool TfrmTemplate::grdDataKeyPress(QKeyEvent* event, QObject* target)
{
    NoteKeyPress(grdData, event->key());
    if (event->matches(QKeySequence::Paste)) {
        PasteIntoGrid();
        return true;
    }
    // One cell copies as its editor does; a block of cells as a spreadsheet takes it.
    if (event->matches(QKeySequence::Copy) && grdData->selectedRanges().size() == 1 &&
        grdData->selectedRanges().front().rowCount() * grdData->selectedRanges().front().columnCount() > 1) {
        CopyFromGrid();
        return true;
    }
    // Enter moves down the column, as in a spreadsheet.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & ~Qt::KeypadModifier)) {
        const int row = grdData->currentRow();
        if (row >= 0 && row + 1 < grdData->rowCount()) grdData->setCurrentCell(row + 1, grdData->currentColumn());
        return true;
    }
    if (grdData->currentColumn() > NameColumn) return FilterKeyEvent(event, target);
    return false;
}

void TfrmTemplate::PasteIntoGrid()
{
    const int row = grdData->currentRow();
    const int column = grdData->currentColumn();
    if (row < 0 || column < NameColumn) return;
    ReadGridCells();
    const PastedBlock block = SplitPastedBlock(QApplication::clipboard()->text().toStdString());
    const PasteOutcome outcome = ::PasteIntoGrid(data_, row, column, block);
    updating_ = true;
    for (int r = 0; r < data_.GridRows; ++r)
        for (int c = NameColumn; c < GridColumns; ++c)
            grdData->SetCellText(r, c, QString::fromStdString(data_.Cell(r, c)));
    updating_ = false;
    grdData->setCurrentCell(row, column);
    if (outcome.cellsPasted > 0) MarkModified();
    if (!outcome.refusal.empty()) platform::ShowWarning(outcome.refusal);
}

void TfrmTemplate::CopyFromGrid()
{
    ReadGridCells();
    const QTableWidgetSelectionRange range = grdData->selectedRanges().front();
    const std::string text =
        CopiedBlockText(data_, range.topRow(), range.leftColumn(), range.bottomRow(), range.rightColumn());
    QApplication::clipboard()->setText(QString::fromStdString(text));
}

void TfrmTemplate::grdDataKeyUp()
{
    const int row = grdData->currentRow();
    const int column = grdData->currentColumn();
    if (row < 0 || column < NameColumn) return;
    const QString text = grdData->CellText(row, column);
    bool cut = false;
    const std::string kept = CutCellText(text.toStdString(), column, cut);
    if (cut) {
        grdData->SetCellText(row, column, QString::fromStdString(kept));
        platform::Beep();
        platform::ShowWarning(CellLengthMessage(column));
        if (QLineEdit* editor = grdData->Editor())
            editor->setFocus(Qt::OtherFocusReason);
        else
            grdData->setFocus(Qt::OtherFocusReason);
    }
}

void TfrmTemplate::grdDataExit() { grdData->setCurrentCell(0, NameColumn); }

void TfrmTemplate::btnclearDataClick()
{
    platform::RunCommand([this] {
        if (clearedData_) {
            UndoClearData();
            return;
        }
        if (!platform::Confirm(ClearDataQuestion)) return;
        ReadWidgets();
        // What Undo brings back: the worksheet and the kept file's bytes.
        clearedData_ = std::make_unique<WorksheetData>(data_);
        const platform::FileReadResult kept = platform::ReadRegularFile(DataPath(), 1 << 20);
        clearedFile_ = kept.ok() ? std::make_unique<std::string>(kept.bytes) : nullptr;
        data_.ClearData();
        ShowData();
        const DataFileResult deleted = DeleteDataFile(DataPath());
        if (!deleted.ok()) platform::ShowError(deleted.message);
        btnclearData->setText(QString::fromLatin1(UndoClearCaption));
        MarkModified();
        FocusField(CovariatesField);
    });
}

void TfrmTemplate::UndoClearData()
{
    data_ = *clearedData_;
    const std::unique_ptr<std::string> file = std::move(clearedFile_);
    ForgetClearedData();
    ShowData();
    if (file) platform::WriteWholeFile(DataPath(), *file);
    MarkModified();
    FocusField(CovariatesField);
}

void TfrmTemplate::ForgetClearedData()
{
    clearedData_.reset();
    clearedFile_.reset();
    btnclearData->setText(QString::fromLatin1(ClearDataCaption));
}

void TfrmTemplate::ExitBtnClick()
{
    // Unsaved changes ask Save / Discard / Cancel instead of "Exit from program?".
    if (!isWindowModified()) {
        platform::AskToExit([this] { EndProgram(); });
        return;
    }
    platform::RunCommand([this] {
        if (ResolveUnsavedChanges()) EndProgram();
    });
}

void TfrmTemplate::EndProgram()
{
    ending_ = true;
    if (quit_) quit_();
}

// ---- Compute -----------------------------------------------------------------------

void TfrmTemplate::cmdComputeClick()
{
    // The events let through before the run could press "Continue" again:
    // one command at a time.
    platform::RunCommandOnce(computing_, [this] { Compute(); });
}

namespace {

// Whatever ends the command once the worksheet has been hidden, the pointer
// comes back and a window stays on the screen to carry on from.
class ComputeEnd {
public:
    ComputeEnd(QWidget* worksheet, QWidget* results) : worksheet_(worksheet), results_(results) {}
    ~ComputeEnd()
    {
        platform::SetHourglassPointer(false);
        if (!(results_ && results_->isVisible()) && !worksheet_->isVisible()) worksheet_->show();
    }
    ComputeEnd(const ComputeEnd&) = delete;
    ComputeEnd& operator=(const ComputeEnd&) = delete;

private:
    QWidget* worksheet_;
    QWidget* results_;
};

// The correlations in the matrix window, in place of the worksheet.
class MatrixWindowEntry : public CorrelationEntry {
public:
    explicit MatrixWindowEntry(QWidget* worksheet) : worksheet_(worksheet) {}
    CorrelationAnswer Enter(tMatrixEntryBuffer& buffer, int p, const std::vector<std::string>& names) override
    {
        worksheet_->hide();
        EnterSquareMatrix(buffer, p, p, "Matrix Entry", names, worksheet_, true);
        // Back and active before a refusal of the whole matrix can focus a field.
        worksheet_->show();
        platform::ProcessPendingEventsOnce();
        CorrelationAnswer answer;
        if (MatrixCancelled) {
            MatrixCancelled = false;
            answer.outcome = CorrelationAnswer::Cancelled;
        }
        return answer;
    }

private:
    QWidget* worksheet_;
};

// The data file the next start reads.
class DataFileKeeping : public WorksheetKeeper {
public:
    explicit DataFileKeeping(TfrmTemplate& worksheet) : worksheet_(worksheet) {}
    void Keep(const WorksheetData&, int p) override
    {
        worksheet_.MarkModified();  // the correlations entered are the worksheet's
        worksheet_.SaveCurrentData(p);
    }

private:
    TfrmTemplate& worksheet_;
};

}  // namespace

// Continue's workflow; false after a refusal or a cancelled entry, with the
// focus where the user carries on.
bool TfrmTemplate::PrepareFromWorksheet(ComputePurpose purpose, AnalysisInputs& in)
{
    ForgetClearedData();  // Continue ends the chance to undo Clear Data
    ReadWidgets();
    MatrixWindowEntry entry(this);
    DataFileKeeping keeper(*this);
    PreparedCompute prepared = PrepareCompute(data_, purpose, entry, keeper);
    if (prepared.status == PreparedCompute::Ready) {
        in = std::move(prepared.in);
        return true;
    }
    FocusRefusal(prepared.focus);
    return false;
}

void TfrmTemplate::Compute()
{
    ComputeEnd end(this, results_);
    AnalysisInputs in;
    if (!PrepareFromWorksheet(ComputePurpose::SingleCase, in)) return;

    platform::SetHourglassPointer(true);
    platform::ProcessPendingEventsOnce();
    AnalysisOutputs out;
    // Off the interface thread: the windows repaint, and take no input until
    // the report is there.
    const int credibleLimit = data_.credibleLimit;
    platform::RunWhileBusy([&in, &out, credibleLimit] { RunAnalysis(in, credibleLimit, out); });
    platform::SetHourglassPointer(false);
    ShowReport(in, out);
}

void TfrmTemplate::SetRawDataOpenDialog(std::unique_ptr<platform::OpenDialog> dialog)
{
    rawDataDialog_ = std::move(dialog);
}

// An analysis of raw control data: the worksheet's fields and data file stay
// as they are; only its notes go into the report.
void TfrmTemplate::btnRawDataClick()
{
    platform::RunCommandOnce(computing_, [this] {
        ReadWidgets();
        TRawDataWindow window(this, *rawDataDialog_, rawDataSession_, data_.notes, data_.credibleLimit,
                              results_ && results_->LineCount() > 0);
        if (window.exec() != QDialog::Accepted || !results_) return;
        results_->show();
        hide();
        results_->SetCaption(std::string("Results viewer: ") + ProgramTitle);
        results_->AppendLines(window.ReportLines());
        results_->SetFigure(window.Figure());
        results_->SetSummary(window.Summary());
    });
}

void TfrmTemplate::btnCaseSeriesClick()
{
    platform::RunCommandOnce(computing_, [this] { CaseSeries(); });
}

// Continue's workflow, then the series on the control sample; the
// worksheet's own case scores are not used.
void TfrmTemplate::CaseSeries()
{
    AnalysisInputs in;
    {
        ComputeEnd end(this, nullptr);
        if (!PrepareFromWorksheet(ComputePurpose::CaseSeries, in)) return;
    }
    caseSeries_->Run(in, data_.credibleLimit);
}

void TfrmTemplate::ShowReport(const AnalysisInputs& in, const AnalysisOutputs& out)
{
    const std::vector<std::string> lines = ReportLines(results_ && results_->LineCount() > 0, data_, in, out);
    if (!results_) return;
    results_->show();
    hide();
    results_->SetCaption(std::string("Results viewer: ") + ProgramTitle);
    results_->AppendLines(lines);
    results_->SetFigure(MakeFigureData(data_, in, out));
    results_->SetSummary(SummarySentence(in, out, data_.credibleLimit));
}

void TfrmTemplate::FocusRefusal(const ComputeFocus& focus)
{
    if (focus.target == ComputeFocus::Field) {
        FocusField(focus.field);
    } else if (focus.target == ComputeFocus::GridCell) {
        // Focus first: leaving the covariate field moves the current cell.
        grdData->setFocus(Qt::OtherFocusReason);
        grdData->setCurrentCell(focus.row, focus.column);
        if (QLineEdit* editor = grdData->Editor()) editor->selectAll();
    }
}

void TfrmTemplate::FocusField(int field)
{
    QLineEdit* edit = txtInputs[field];
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

bool TfrmTemplate::SaveCurrentData(int p)
{
    // The user's data folder may not exist before the first save.
    DataFileResult result = PrepareDataFolder(dataFolder_, platform::UserDataFolder(), DataPath());
    if (result.ok()) result = WriteDataFile(DataPath(), data_, p);
    // An untitled worksheet is kept whole in the last-worksheet file.
    if (result.ok() && filePath_.empty()) setWindowModified(false);
    if (result.ok()) return true;
    platform::ShowError(result.message);
    return false;
}
