#pragma once
// A printing surface on a QPrinter: the one chosen in the print dialog, or a
// PDF file.
#include <memory>
#include <string>

#include <QFont>

#include "render/painted_text_surface.h"

class QPrinter;
class QWidget;

namespace platform {

class QtPrintSurface : public PaintedTextSurface {
public:
    // The printer the user picks in the system's print dialog (a printer or
    // "print to file", paper size, copies); nothing when the dialog is
    // cancelled. Works without any printer installed.
    static std::unique_ptr<QtPrintSurface> FromPrintDialog(const QFont& font, QWidget* parent);
    // Prints on the printer given, set up as the dialog would leave it (a
    // printer, or a file).
    static std::unique_ptr<QtPrintSurface> OnPrinter(std::unique_ptr<QPrinter> printer, const QFont& font);

    ~QtPrintSurface() override;

    void BeginDocument() override;
    void EndDocument() override;
    void AbortDocument() noexcept override;
    void NewPage() override;
    void SetDocumentTitle(const std::string& title) override;

    int PageWidth() const override;
    int PageHeight() const override;

protected:
    QPaintDevice* Device() const override;

private:
    QtPrintSurface(std::unique_ptr<QPrinter> printer, const QFont& font);

    std::unique_ptr<QPrinter> printer_;
};

}  // namespace platform
