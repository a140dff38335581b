#include "desktop/dialogs/qt_print_surface.h"

#include <QPrintDialog>
#include <QPrinter>

#include "render/report_pdf.h"

namespace platform {

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
    return OnPrinter(std::move(printer), font);
}

std::unique_ptr<QtPrintSurface> QtPrintSurface::OnPrinter(std::unique_ptr<QPrinter> printer, const QFont& font)
{
    return std::unique_ptr<QtPrintSurface>(new QtPrintSurface(std::move(printer), font));
}

QtPrintSurface::QtPrintSurface(std::unique_ptr<QPrinter> printer, const QFont& font)
    : PaintedTextSurface(font), printer_(std::move(printer))
{
    printer_->setFullPage(false);   // (0, 0) is the corner of the printable area
    // The report PDF's margins, on the paper the user chose.
    printer_->setPageMargins(QMarginsF(ReportMarginMm, ReportMarginMm, ReportMarginMm, ReportMarginMm),
                             QPageLayout::Millimeter);
}

QtPrintSurface::~QtPrintSurface() { AbortDocument(); }

QPaintDevice* QtPrintSurface::Device() const { return printer_.get(); }

void QtPrintSurface::BeginDocument()
{
    if (!BeginPainting()) throw PrintError("The print job could not be started.");
}

void QtPrintSurface::EndDocument()
{
    if (!Painter()) return;
    if (!EndPainting() || printer_->printerState() == QPrinter::Error) throw PrintError("The print job failed.");
}

void QtPrintSurface::AbortDocument() noexcept
{
    if (!Painter()) return;
    printer_->abort();
    EndPainting();
}

void QtPrintSurface::SetDocumentTitle(const std::string& title)
{
    printer_->setDocName(QString::fromStdString(title));
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

}  // namespace platform
