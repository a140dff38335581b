#include "desktop/results/figure_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/run/command_guard.h"
#include "desktop/app/qt_app_helpers.h"
#include "desktop/dialogs/qt_save_dialog.h"
#include "render/figure_files.h"
#include "render/figure_painter.h"

FigureCanvas::FigureCanvas(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(static_cast<int>(FigureWidth) / 2, static_cast<int>(FigureHeight) / 2);
}

void FigureCanvas::SetFigure(const FigureLayout& figure)
{
    figure_ = figure;
    update();
}

void FigureCanvas::ClearFigure()
{
    figure_.reset();
    update();
}

void FigureCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (figure_)
        PaintFigure(painter, *figure_, QRectF(rect()));
    else
        painter.fillRect(rect(), Qt::white);
}

TfrmFigure::TfrmFigure(QWidget* parent) : QDialog(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmFigure"));
    setWindowTitle(QStringLiteral("Figure"));
    setModal(false);

    canvas = new FigureCanvas(this);
    canvas->setObjectName(QStringLiteral("figureCanvas"));
    canvas->setMinimumSize(static_cast<int>(FigureWidth), static_cast<int>(FigureHeight));

    auto* sizeLabel = new QLabel(QStringLiteral("&Size:"), this);
    cboFigureSize = new QComboBox(this);
    cboFigureSize->setObjectName(QStringLiteral("cboFigureSize"));
    cboFigureSize->addItem(QStringLiteral("Screen"), 0.0);
    cboFigureSize->addItem(QStringLiteral("Journal column (85 mm)"), JournalColumnMm);
    cboFigureSize->addItem(QStringLiteral("Page (175 mm)"), PageWidthMm);
    cboFigureSize->setAccessibleName(QStringLiteral("Size"));
    sizeLabel->setBuddy(cboFigureSize);
    chkFigureTitle = new QCheckBox(QStringLiteral("&Title"), this);
    chkFigureTitle->setObjectName(QStringLiteral("chkFigureTitle"));
    chkFigureTitle->setChecked(true);
    chkFigureTitle->setAccessibleName(QStringLiteral("Title"));

    cmdSaveFigure = new QPushButton(QStringLiteral("Save Figure..."), this);
    cmdSaveFigure->setObjectName(QStringLiteral("cmdSaveFigure"));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton* button : {cmdSaveFigure, cmdClose}) {
        button->setAutoDefault(false);
        platform::ClickOnEnter(button);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sizeLabel);
    buttons->addWidget(cboFigureSize);
    buttons->addWidget(chkFigureTitle);
    buttons->addStretch(1);
    buttons->addWidget(cmdSaveFigure);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(canvas, 1);
    layout->addLayout(buttons);

    connect(cmdSaveFigure, &QPushButton::clicked, this, &TfrmFigure::cmdSaveFigureClick);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(cboFigureSize, &QComboBox::currentIndexChanged, this, [this] { LayOut(); });
    connect(chkFigureTitle, &QCheckBox::toggled, this, [this] { LayOut(); });

    saveDialog_ = std::make_unique<platform::QtSaveDialog>(
        this, "figure.png", "PNG images (*.png);;SVG drawings (*.svg);;PDF files (*.pdf)");
}

TfrmFigure::~TfrmFigure() = default;

void TfrmFigure::SetFigure(const FigureData& figure)
{
    data_ = figure;
    LayOut();
    setWindowTitle(QString::fromStdString(figure_->title));
}

FigureOptions TfrmFigure::ChosenOptions() const
{
    FigureOptions options;
    options.widthMm = cboFigureSize->currentData().toDouble();
    options.title = chkFigureTitle->isChecked();
    return options;
}

void TfrmFigure::LayOut()
{
    if (!data_) return;
    figure_ = LayOutFigure(*data_, ChosenOptions());
    canvas->SetFigure(*figure_);
}

std::optional<FigureLayout> TfrmFigure::ReportFigure() const
{
    if (!data_) return std::nullopt;
    return LayOutFigure(*data_);
}

void TfrmFigure::ClearFigure()
{
    data_.reset();
    figure_.reset();
    canvas->ClearFigure();
    hide();
}

void TfrmFigure::SetSaveDialog(std::unique_ptr<platform::SaveDialog> dialog) { saveDialog_ = std::move(dialog); }

void TfrmFigure::cmdSaveFigureClick()
{
    platform::RunCommand([&] {
        if (!figure_) return;
        const std::optional<std::string> fileName = saveDialog_->Execute();
        if (!fileName) return;
        WriteFigureFile(*fileName, *figure_);
    });
}
