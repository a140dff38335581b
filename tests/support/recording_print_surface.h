#pragma once
// Test fake of a printing surface: a page of fixed size, every character the
// same width, and a log of everything done to it.
#include <string>
#include <vector>

#include "analysis/report/print_surface.h"

namespace platform {

class RecordingPrintSurface : public PrintSurface {
public:
    enum class Op { Begin, End, Abort, NewPage, Draw };
    struct Event {
        Op op;
        int x = 0;
        int y = 0;
        std::u32string text;
    };

    RecordingPrintSurface(int pageWidth = 800, int pageHeight = 1000, int charWidth = 10,
                          int charHeight = 12)
        : pageWidth_(pageWidth), pageHeight_(pageHeight), charWidth_(charWidth),
          charHeight_(charHeight)
    {
    }

    void BeginDocument() override
    {
        if (failOnBegin) throw PrintError(failOnBegin);
        log.push_back(Event{Op::Begin, 0, 0, {}});
    }
    void EndDocument() override { log.push_back(Event{Op::End, 0, 0, {}}); }
    void AbortDocument() noexcept override { log.push_back(Event{Op::Abort, 0, 0, {}}); }
    void NewPage() override { log.push_back(Event{Op::NewPage, 0, 0, {}}); }

    int PageWidth() const override { return pageWidth_; }
    int PageHeight() const override { return pageHeight_; }
    int CharHeight() const override { return charHeight_; }
    int AverageCharWidth() const override { return charWidth_; }
    int MeasureRun(const std::u32string& run) const override
    {
        return static_cast<int>(run.size()) * charWidth_;
    }
    void DrawRun(int x, int y, const std::u32string& run) override
    {
        if (failOnDraw) throw PrintError(failOnDraw);
        log.push_back({Op::Draw, x, y, run});
    }

    // The drawn runs only, in order.
    std::vector<Event> Draws() const
    {
        std::vector<Event> d;
        for (const Event& e : log)
            if (e.op == Op::Draw) d.push_back(e);
        return d;
    }
    int Count(Op op) const
    {
        int n = 0;
        for (const Event& e : log)
            if (e.op == op) ++n;
        return n;
    }

    const char* failOnBegin = nullptr;   // message of a PrintError thrown by BeginDocument
    const char* failOnDraw = nullptr;    // message of a PrintError thrown by DrawRun
    std::vector<Event> log;

private:
    int pageWidth_, pageHeight_, charWidth_, charHeight_;
};

}  // namespace platform
