#pragma once
// A printing surface on a QPrinter: the default printer, or a PDF file.
#include <memory>
#include <string>

#include <QFont>

#include "analysis/print_surface.h"

class QPainter;
class QPrinter;
class QWidget;

namespace platform {

class QtPrintSurface : public PrintSurface {
public:
    // The default printer. Throws PrintError if no printer is installed.
    static std::unique_ptr<QtPrintSurface> ForDefaultPrinter(const QFont& font);
    // The printer the user picks in the system's print dialog (a printer or
    // "print to file", paper size, copies); nothing when the dialog is
    // cancelled. Works without any printer installed.
    static std::unique_ptr<QtPrintSurface> FromPrintDialog(const QFont& font, QWidget* parent);
    // Prints into a PDF file (UTF-8 name) instead of on paper.
    static std::unique_ptr<QtPrintSurface> ForPdfFile(const std::string& path, const QFont& font);

    ~QtPrintSurface() override;

    void BeginDocument() override;
    void EndDocument() override;
    void AbortDocument() noexcept override;
    void NewPage() override;

    int PageWidth() const override;
    int PageHeight() const override;
    int CharHeight() const override;
    int AverageCharWidth() const override;
    int MeasureRun(const std::u32string& run) const override;
    void DrawRun(int x, int y, const std::u32string& run) override;

private:
    QtPrintSurface(std::unique_ptr<QPrinter> printer, const QFont& font);

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    QFont font_;
};

}  // namespace platform
