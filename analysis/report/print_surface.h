#pragma once
// The drawing surface of a printer, reduced to what the report printout
// needs. All lengths are device pixels; (0, 0) is the top left corner of the
// printable area. A surface that fails (no printer, job refused, write error)
// throws PrintError.
#include <stdexcept>
#include <string>

namespace platform {

class PrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PrintSurface {
public:
    virtual ~PrintSurface() = default;

    // The document's title, for the printer's job and a PDF's metadata;
    // before BeginDocument. A surface without either ignores it.
    virtual void SetDocumentTitle(const std::string& title) { (void)title; }
    virtual void BeginDocument() = 0;
    // Sends the document to the printer.
    virtual void EndDocument() = 0;
    // Drops a begun document after a failure; must not throw.
    virtual void AbortDocument() noexcept = 0;
    virtual void NewPage() = 0;

    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
    virtual int CharHeight() const = 0;
    virtual int AverageCharWidth() const = 0;

    virtual int MeasureRun(const std::u32string& run) const = 0;
    // Draws the run with its top left corner at (x, y).
    virtual void DrawRun(int x, int y, const std::u32string& run) = 0;
};

}  // namespace platform
