#pragma once
// The print surface on a printer that prints into a PDF file, as "print to
// file" in the system's print dialog leaves it.
#include <memory>
#include <string>

#include <QPrinter>

#include "desktop/dialogs/qt_print_surface.h"

inline std::unique_ptr<platform::QtPrintSurface> PdfPrintSurface(const std::string& path, const QFont& font)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(path));
    return platform::QtPrintSurface::OnPrinter(std::move(printer), font);
}
