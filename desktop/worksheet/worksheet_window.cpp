#include "desktop/worksheet/worksheet_window.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include <QApplication>
#include <QClipboard>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QFont>
#include <QFrame>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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
#include "analysis/case_series/case_series.h"
#include "desktop/case_series/case_series_runner.h"
#include "desktop/app/busy_run.h"
#include "desktop/worksheet/matrix_entry_window.h"
#include "desktop/dialogs/qt_open_dialog.h"
#include "desktop/raw_data/raw_data_window.h"
#include "analysis/run/command_guard.h"
#include "foundation/messages.h"
#include "desktop/app/data_location.h"
#include "desktop/app/qt_app_helpers.h"
#include "desktop/results/results_window.h"
#include "analysis/run/compute_checks.h"
#include "analysis/report/report.h"
#include "analysis/worksheet/worksheet_description.h"
#include "desktop/worksheet/worksheet_grid.h"
#include "render/report_pdf.h"

namespace {

constexpr char ClearDataQuestion[] =
    "Clear all the data on the worksheet and delete the kept worksheet file?\r"
    "\"Undo Clear\" brings them back until the next Continue.";
constexpr char UndoClearCaption[] = "&Undo Clear";
constexpr int ClientWidth = 792;
constexpr int ClientHeight = 585;
constexpr int GridTop = 200;
constexpr int VisibleGridRows = 6;
constexpr int ScrollBarWidth = 17;
constexpr int HeadingHeight = 33;
constexpr int GridTitleHeight = 25;
constexpr int NotesMaxLength = 250;
constexpr int NotesHeight = 25;
constexpr int NotesOpenHeight = 70;
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

// The numeric fields end 744 pixels in; they are 56 wide, or wider where the
// bold font needs it to show six digits whole (the field's frame, its own
// margins and the cursor included).
constexpr int FieldRight = 744;
int FieldWidth(const QLineEdit* field)
{
    const int frame = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, field);
    const int text = field->fontMetrics().horizontalAdvance(QStringLiteral("999999"));
    return std::max(56, text + 2 * frame + 4 + 1);
}

QPushButton* MakeButton(const char* name, const char* caption, int left, int width, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, 506, width, 37);
    button->setFont(BoldFont());
    button->setAutoDefault(false);
    platform::ClickOnEnter(button);
    return button;
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
    setFixedSize(ClientWidth, ClientHeight);
    setFont(FormFont());

    DescripFld = new QPlainTextEdit(this);
    DescripFld->setObjectName(QStringLiteral("DescripFld"));
    DescripFld->setGeometry(12, 7, 768, 94);
    DescripFld->setReadOnly(true);
    DescripFld->setFocusPolicy(Qt::NoFocus);
    DescripFld->setAccessibleName(QStringLiteral("Description"));
    QFont descriptionFont(QStringLiteral("MS Sans Serif"));
    descriptionFont.setPixelSize(11);
    DescripFld->setFont(descriptionFont);
    QPalette descriptionPalette = DescripFld->palette();
    descriptionPalette.setColor(QPalette::Base, descriptionPalette.color(QPalette::Button));
    DescripFld->setPalette(descriptionPalette);
    connect(DescripFld, &QPlainTextEdit::textChanged, this,
            [this] { platform::RunCommand([this] { DescripFldChange(); }); });

    pnlComments = new QFrame(this);
    pnlComments->setObjectName(QStringLiteral("pnlComments"));
    pnlComments->setGeometry(12, 106, 768, 33);
    pnlComments->setFrameStyle(QFrame::Panel | QFrame::Raised);
    lblComments = new QLabel(QString::fromLatin1(NotesCaption), pnlComments);
    lblComments->setObjectName(QStringLiteral("lblComments"));
    lblComments->setGeometry(4, 8, 96, 16);
    lblComments->setFont(BoldFont());

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(12, 143, 768, 346);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    // Room for eight labelled fields; the first FieldsShown are shown.
    for (int f = 0; f < NumericFieldCount; ++f) {
        auto* label = new QLabel(Panel1);
        label->setObjectName(QStringLiteral("Label%1").arg(f + 1));
        label->setGeometry(384, 28 + 40 * f, 345, 16);
        auto* field = new QLineEdit(Panel1);
        field->setObjectName(f == 7 ? QStringLiteral("txtinput8") : QStringLiteral("txtInput%1").arg(f + 1));
        field->setFont(BoldFont());
        field->setGeometry(FieldRight - FieldWidth(field), 24 + 40 * f, FieldWidth(field), 24);
        field->installEventFilter(this);
        Labels[f] = label;
        txtInputs[f] = field;
        if (f > 0)
            connect(field, &QLineEdit::textChanged, this, [this, f](const QString& text) {
                if (!updating_) platform::RunCommand([&] { data_.fields[f] = text.toStdString(); });
            });
    }
    Label1 = Labels[0];
    Label2 = Labels[1];
    txtInput1 = txtInputs[0];
    txtInput2 = txtInputs[1];
    connect(txtInput1, &QLineEdit::textChanged, this, [this] {
        if (!updating_) platform::RunCommand([this] { txtInput1Change(); });
    });

    RadioGroup1 = new QGroupBox(QStringLiteral("95% credible limit required..."), Panel1);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(8, 16, 201, 105);
    auto* radioLayout = new QVBoxLayout(RadioGroup1);
    radioButtons_ = new QButtonGroup(this);
    const char* items[3] = {"Two-sided", "One-sided  lower", "One-sided upper"};
    for (int i = 0; i < 3; ++i) {
        RadioItems[i] = new QRadioButton(QString::fromLatin1(items[i]), RadioGroup1);
        RadioItems[i]->setObjectName(QStringLiteral("RadioItem%1").arg(i));
        radioLayout->addWidget(RadioItems[i]);
        radioButtons_->addButton(RadioItems[i], i);
    }
    RadioItems[TwoSided]->setChecked(true);
    connect(radioButtons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !updating_) data_.credibleLimit = id;
    });

    chkExact = new QCheckBox(QStringLiteral("Also report the frequentist test (exact values)"), Panel1);
    chkExact->setObjectName(QStringLiteral("chkExact"));
    chkExact->setGeometry(384, 100, 376, 20);
    connect(chkExact, &QCheckBox::toggled, this, [this](bool checked) {
        if (!updating_) data_.reportExact = checked;
    });

    grdData = new TWorksheetGrid(Panel1);
    grdData->setObjectName(QStringLiteral("grdData"));
    grdData->setAccessibleName(QStringLiteral("Data grid"));
    grdData->setColumnCount(GridColumns);
    grdData->move(0, GridTop);
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
    });

    lblGridColumnsTitle = new QLabel(Panel1);
    lblGridColumnsTitle->setObjectName(QStringLiteral("lblGridColumnsTitle"));
    lblGridColumnsTitle->setAlignment(Qt::AlignCenter);
    lblItems = new QLabel(Panel1);
    lblItems->setObjectName(QStringLiteral("lblItems"));
    for (int n = 0; n < 6; ++n) {
        lblCols[n] = new QLabel(Panel1);
        lblCols[n]->setObjectName(QStringLiteral("lblCol%1").arg(n + 1));
    }
    for (QLabel* heading : {lblItems, lblCols[0], lblCols[1], lblCols[2], lblCols[3], lblCols[4], lblCols[5]}) {
        heading->resize(TWorksheetGrid::ColWidth, HeadingHeight);
        heading->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        heading->setWordWrap(true);
    }

    // The notes lie over the panels so they can grow when opened.
    memoComments = new QPlainTextEdit(this);
    memoComments->setObjectName(QStringLiteral("memoComments"));
    memoComments->setGeometry(112, 110, 666, NotesHeight);
    memoComments->setFont(platform::ReportTextFont());
    // Named by its label ("Notes:"), without the colon.
    memoComments->setAccessibleName(QString::fromLatin1(NotesCaption).trimmed().remove(QLatin1Char(':')));
    memoComments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoComments->setTabChangesFocus(true);
    memoComments->installEventFilter(this);
    memoComments->raise();
    connect(memoComments, &QPlainTextEdit::textChanged, this,
            [this] { platform::RunCommand([this] { memoCommentsChange(); }); });

    pnlButtons = new QFrame(this);
    pnlButtons->setObjectName(QStringLiteral("pnlButtons"));
    pnlButtons->setGeometry(12, 500, 768, 49);
    pnlButtons->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    cmdCompute = MakeButton("cmdCompute", "Continue", 28, 165, this);
    btnclearData = MakeButton("btnclearData", "Clear Data ", 220, 161, this);
    ExitBtn = MakeButton("ExitBtn", "Exit", 603, 161, this);
    btnCaseSeries = MakeButton("btnCaseSeries", "Case series...", 411, 161, this);
    caseSeries_ = std::make_unique<TCaseSeriesRunner>(this);
    connect(cmdCompute, &QPushButton::clicked, this, &TfrmTemplate::cmdComputeClick);
    connect(btnclearData, &QPushButton::clicked, this, &TfrmTemplate::btnclearDataClick);
    connect(ExitBtn, &QPushButton::clicked, this, &TfrmTemplate::ExitBtnClick);
    connect(btnCaseSeries, &QPushButton::clicked, this, &TfrmTemplate::btnCaseSeriesClick);
    // Raw control data: under the credible-limit choice.
    btnRawData = new QPushButton(QStringLiteral("Raw data..."), Panel1);
    btnRawData->setObjectName(QStringLiteral("btnRawData"));
    btnRawData->setGeometry(8, 130, 201, 32);
    btnRawData->setFont(BoldFont());
    btnRawData->setAutoDefault(false);
    platform::ClickOnEnter(btnRawData);
    rawDataDialog_ = std::make_unique<platform::QtOpenDialog>(
        this, "Raw data of the control sample",
        "Raw data (*.csv *.txt *.sav *.zsav *.dta);;All files (*)");
    connect(btnRawData, &QPushButton::clicked, this, &TfrmTemplate::btnRawDataClick);

    // Keyboard path through the window: the two counts, the choice, "Raw data...", the grid,
    // the buttons, then the notes.
    QWidget* order[] = {txtInput1, txtInput2, RadioItems[0], RadioItems[1], RadioItems[2], btnRawData, grdData,
                        cmdCompute, btnclearData, btnCaseSeries, ExitBtn, memoComments};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    focusConnection_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        platform::RunCommand([&] { FocusChanged(old, now); });
    });
}

// ---- Start-up ---------------------------------------------------------------------

void TfrmTemplate::FormCreate()
{
    updating_ = true;
    memoComments->clear();
    data_.Reset();
    for (QLineEdit* field : txtInputs) field->clear();
    lblGridColumnsTitle->hide();
    lblItems->hide();
    for (QLabel* heading : lblCols) heading->hide();
    setWindowTitle(QString::fromLatin1(ProgramTitle));
    DescripFld->setPlainText(QString::fromStdString(WorksheetDescription()));
    Label1->setText(QString::fromLatin1(CovariatesCaption));
    Label2->setText(QString::fromLatin1(SampleSizeCaption));
    cmdCompute->setText(QStringLiteral("Continue"));
    data_.SetGridRows(StartGridRows);
    lblGridColumnsTitle->setText(QStringLiteral("Column names"));
    grdData->show();
    grdData->move(grdData->x(), GridTop);
    updating_ = false;
    LoadPreviousData();
}

void TfrmTemplate::LoadPreviousData()
{
    const DataFileResult result = ::LoadPreviousData(DataPath(), data_);
    ShowData();
    if (result.status == DataFileResult::Ok) cmdCompute->setText(QStringLiteral("Continue"));
    for (int f = 0; f < NumericFieldCount; ++f) {
        Labels[f]->setVisible(f < FieldsShown);
        txtInputs[f]->setVisible(f < FieldsShown);
        // Screen readers and testing tools find each field by its label.
        Labels[f]->setBuddy(txtInputs[f]);
        txtInputs[f]->setAccessibleName(Labels[f]->text().trimmed().remove(QRegularExpression(QStringLiteral("\\s*:$"))));
    }
    if (result.status == DataFileResult::InvalidNumber || result.status == DataFileResult::FileError)
        platform::ShowError(result.message);
}

void TfrmTemplate::SetResultsWindow(TfrmTemplateResults* results)
{
    if (results_) disconnect(results_, nullptr, this, nullptr);
    results_ = results;
    if (results_)
        connect(results_, &TfrmTemplateResults::ReturnToWorksheet, this, [this] {
            platform::RunCommand([this] { show(); });
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
    if (data_.GridRows > VisibleGridRows) width += ScrollBarWidth;
    const int left = (this->width() - width) / 2;
    const int top = grdData->y();
    grdData->setGeometry(left, top, width, height);
    grdData->update();

    const int headingTop = top - HeadingHeight;
    lblGridColumnsTitle->setGeometry(left, headingTop - GridTitleHeight, width, GridTitleHeight);
    lblGridColumnsTitle->show();
    lblItems->move(left, headingTop);
    for (int n = 1; n <= 6; ++n) lblCols[n - 1]->move(left + n * (w + 1) + 2, headingTop);
    lblItems->show();
    for (int n = 1; n <= 6; ++n) lblCols[n - 1]->setVisible(GridColumns >= n + 1);

    updating_ = true;
    for (int r = 0; r < data_.GridRows && r < grdData->rowCount(); ++r)
        grdData->SetCellText(r, 0, QString::fromStdString(WorksheetData::RowNumberText(r)));
    updating_ = false;

    lblGridColumnsTitle->clear();
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
        platform::CentreOnScreen(this);
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
    platform::CloseAsExit(this, event, ending_, [this] { EndProgram(); });
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
    if (!updating_) data_.notes = SplitNotes(memoComments->toPlainText().toStdString());
}

void TfrmTemplate::memoCommentsEnter()
{
    if (memoComments->document()->blockCount() > 1) memoComments->resize(memoComments->width(), NotesOpenHeight);
}

void TfrmTemplate::memoCommentsKeyUp(int key)
{
    if (memoComments->document()->blockCount() > 1 || key == Qt::Key_Return || key == Qt::Key_Enter)
        memoComments->resize(memoComments->width(), NotesOpenHeight);
}

void TfrmTemplate::memoCommentsExit() { memoComments->resize(memoComments->width(), NotesHeight); }

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
        const std::string label = field < NumericFieldCount ? Labels[field]->text().toStdString() : "";
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
    if (!outcome.refusal.empty()) platform::ShowWarning(outcome.refusal);
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
    FocusField(CovariatesField);
}

void TfrmTemplate::ForgetClearedData()
{
    clearedData_.reset();
    clearedFile_.reset();
    btnclearData->setText(QStringLiteral("Clear Data "));
}

void TfrmTemplate::ExitBtnClick()
{
    platform::AskToExit([this] { EndProgram(); });
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

}  // namespace

void TfrmTemplate::Compute()
{
    ForgetClearedData();  // Continue ends the chance to undo Clear Data
    ReadWidgets();
    const ComputeCheckResult check = CheckComputeInputs(data_);
    if (!check.passed) {
        FocusRefusal(check.focus);
        return;
    }
    const int p = check.k + 1;

    ComputeEnd end(this, results_);
    // Without covariates there is no correlation to enter.
    if (p > 1 && !EnterCorrelations(p)) {
        show();
        return;
    }
    // A file that cannot be written is reported; the analysis goes on.
    SaveCurrentData(p);

    platform::SetHourglassPointer(true);
    show();
    platform::ProcessPendingEventsOnce();

    AnalysisInputs in;
    if (!PrepareAnalysis(data_, check.k, check.N, in)) {
        platform::SetHourglassPointer(false);
        FocusField(CovariatesField);
        return;
    }
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
        TRawDataWindow window(this, *rawDataDialog_, data_.notes, data_.credibleLimit,
                              results_ && results_->LineCount() > 0);
        if (window.exec() != QDialog::Accepted || !results_) return;
        results_->show();
        hide();
        results_->SetCaption(std::string("Results viewer: ") + ProgramTitle);
        results_->AppendLines(window.ReportLines());
        results_->SetFigure(window.Figure());
    });
}

void TfrmTemplate::btnCaseSeriesClick()
{
    platform::RunCommandOnce(computing_, [this] { CaseSeries(); });
}

// Continue's checks and correlation entry, then the series on the control
// sample; the worksheet's own case scores are not used.
void TfrmTemplate::CaseSeries()
{
    ForgetClearedData();
    ReadWidgets();
    WorksheetData controlsOnly = data_;
    ClearCaseScores(controlsOnly);
    const ComputeCheckResult check = CheckComputeInputs(controlsOnly);
    if (!check.passed) {
        FocusRefusal(check.focus);
        return;
    }
    const int p = check.k + 1;
    {
        ComputeEnd end(this, nullptr);
        if (!EnterCorrelations(p)) return;
    }
    SaveCurrentData(p);
    controlsOnly.StoredCorrelations = data_.StoredCorrelations;
    AnalysisInputs in;
    if (!PrepareAnalysis(controlsOnly, check.k, check.N, in)) {
        FocusField(CovariatesField);
        return;
    }
    caseSeries_->Run(in, data_.credibleLimit);
}

bool TfrmTemplate::EnterCorrelations(int p)
{
    auto buffer = std::make_unique<tMatrixEntryBuffer>();
    PrefillCorrelationEntry(data_, p, *buffer);
    hide();
    EnterSquareMatrix(*buffer, p, p, "Matrix Entry", CorrelationNames(data_, p), this, true);
    if (MatrixCancelled) {
        MatrixCancelled = false;
        return false;
    }
    StoreCorrelationEntry(*buffer, p, data_);
    return true;
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
    if (result.ok()) return true;
    platform::ShowError(result.message);
    return false;
}
