#include "desktop/qt_print_surface.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QString>

namespace platform {
namespace {

QString ToQString(const std::u32string& run)
{
    return QString::fromUcs4(run.data(), static_cast<qsizetype>(run.size()));
}

}  // namespace

std::unique_ptr<QtPrintSurface> QtPrintSurface::ForDefaultPrinter(const QFont& font)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) throw PrintError("There is no default printer: no printer is installed.");
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (!printer->isValid()) throw PrintError("The default printer cannot be used.");
    return std::unique_ptr<QtPrintSurface>(new QtPrintSurface(std::move(printer), font));
}

std::unique_ptr<QtPrintSurface> QtPrintSurface::FromPrintDialog(const QFont& font, QWidget* parent)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), parent);
    // The whole text or the selection is printed; a page range is not offered,
    // as the pages are only known once laid out on the chosen paper.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    if (!printer->isValid()) throw PrintError("The chosen printer cannot be used.");
    return std::unique_ptr<QtPrintSurface>(new QtPrintSurface(std::move(printer), font));
}

std::unique_ptr<QtPrintSurface> QtPrintSurface::ForPdfFile(const std::string& path,
                                                           const QFont& font)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(path));
    return std::unique_ptr<QtPrintSurface>(new QtPrintSurface(std::move(printer), font));
}

QtPrintSurface::QtPrintSurface(std::unique_ptr<QPrinter> printer, const QFont& font)
    : printer_(std::move(printer)), font_(font)
{
    printer_->setFullPage(false);   // (0, 0) is the corner of the printable area
}

QtPrintSurface::~QtPrintSurface() { AbortDocument(); }

void QtPrintSurface::BeginDocument()
{
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get())) {
        painter_.reset();
        throw PrintError("The print job could not be started.");
    }
    painter_->setFont(font_);
    painter_->setPen(Qt::black);
}

void QtPrintSurface::EndDocument()
{
    if (!painter_) return;
    const bool ended = painter_->end();
    painter_.reset();
    if (!ended || printer_->printerState() == QPrinter::Error)
        throw PrintError("The print job failed.");
}

void QtPrintSurface::AbortDocument() noexcept
{
    if (!painter_) return;
    printer_->abort();
    painter_->end();
    painter_.reset();
}

void QtPrintSurface::NewPage()
{
    if (!printer_->newPage()) throw PrintError("The printer could not start a new page.");
}

int QtPrintSurface::PageWidth() const
{
    return static_cast<int>(printer_->pageRect(QPrinter::DevicePixel).width());
}

int QtPrintSurface::PageHeight() const
{
    return static_cast<int>(printer_->pageRect(QPrinter::DevicePixel).height());
}

int QtPrintSurface::CharHeight() const { return QFontMetrics(font_, printer_.get()).height(); }

int QtPrintSurface::AverageCharWidth() const
{
    return QFontMetrics(font_, printer_.get()).averageCharWidth();
}

int QtPrintSurface::MeasureRun(const std::u32string& run) const
{
    return QFontMetrics(font_, printer_.get()).horizontalAdvance(ToQString(run));
}

void QtPrintSurface::DrawRun(int x, int y, const std::u32string& run)
{
    if (!painter_) throw PrintError("No print document has been started.");
    const int ascent = QFontMetrics(font_, printer_.get()).ascent();
    painter_->drawText(x, y + ascent, ToQString(run));
}

}  // namespace platform
