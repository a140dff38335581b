#include "desktop/results/figure_view.h"

#include <QHBoxLayout>
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

    cmdSaveFigure = new QPushButton(QStringLiteral("Save Figure..."), this);
    cmdSaveFigure->setObjectName(QStringLiteral("cmdSaveFigure"));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton* button : {cmdSaveFigure, cmdClose}) {
        button->setAutoDefault(false);
        platform::ClickOnEnter(button);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSaveFigure);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(canvas, 1);
    layout->addLayout(buttons);

    connect(cmdSaveFigure, &QPushButton::clicked, this, &TfrmFigure::cmdSaveFigureClick);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);

    saveDialog_ = std::make_unique<platform::QtSaveDialog>(
        this, "figure.png", "PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)");
}

TfrmFigure::~TfrmFigure() = default;

void TfrmFigure::SetFigure(const FigureData& figure)
{
    figure_ = LayOutFigure(figure);
    canvas->SetFigure(*figure_);
    setWindowTitle(QString::fromStdString(figure_->title));
}

void TfrmFigure::ClearFigure()
{
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
