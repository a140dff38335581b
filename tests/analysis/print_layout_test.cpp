#include "analysis/report/print_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/recording_print_surface.h"

namespace platform {
namespace {

using Op = RecordingPrintSurface::Op;

struct Drawn {
    int x, y;
    std::u32string text;
    bool operator==(const Drawn& o) const { return x == o.x && y == o.y && text == o.text; }
};

std::ostream& operator<<(std::ostream& os, const Drawn& d)
{
    std::string t;
    for (char32_t c : d.text) t += static_cast<char>(c);
    return os << "(" << d.x << "," << d.y << ",\"" << t << "\")";
}

// Characters are 10 wide and 12 high: a line with text is 14 high. Pages are
// 100 x 100 unless the row says otherwise.
TEST(PrintLayout, WhereEachRunIsDrawnAndWhereThePagesBreak)
{
    const struct {
        const char* what;
        std::u32string text;
        std::vector<Drawn> draws;
        int newPages;
        int pageWidth;
    } cases[] = {
        {"empty text: a begun and ended document", U"", {}, 0, 100},
        {"lines go down by the tallest run plus two; CR LF is one break", U"ab\r\ncd\ne",
         {{0, 0, U"ab"}, {0, 14, U"cd"}, {0, 28, U"e"}}, 0, 100},
        {"an empty line is one character high", U"a\r\n\r\nb\n\nc", {{0, 0, U"a"}, {0, 26, U"b"}, {0, 52, U"c"}}, 0,
         100},
        {"a carriage return alone only ends the run", U"ab\rcd", {{0, 0, U"ab"}, {20, 0, U"cd"}}, 0, 100},
        {"a long line is cut at its last fitting character", U"abcdefghijklmnopqrstuvwxy\r\nz",
         {{0, 0, U"abcdefghij"}, {0, 14, U"klmnopqrst"}, {0, 28, U"uvwxy"}, {0, 42, U"z"}}, 0, 100},
        {"a run exactly filling the width is not cut", U"abcdefghij", {{0, 0, U"abcdefghij"}}, 0, 100},
        {"a tab moves to the next multiple of eight widths", U"a\tb\r\n\t\tc\r\nabcdefgh\tX",
         {{0, 0, U"a"}, {80, 0, U"b"}, {160, 14, U"c"}, {0, 28, U"abcdefgh"}, {160, 28, U"X"}}, 0, 400},
        {"a run after a tab is cut at the remaining width", U"1\tabcdef",
         {{0, 0, U"1"}, {80, 0, U"ab"}, {0, 14, U"cdef"}}, 0, 100},
        {"a run that does not start to fit goes to the next line", U"1\t\tabc", {{0, 0, U"1"}, {0, 14, U"abc"}}, 0,
         100},
        {"a character wider than the page still moves on", U"ab", {{0, 0, U"a"}, {0, 14, U"b"}}, 0, 5},
        {"a form feed starts a new page at the top", U"a\r\nb\fc", {{0, 0, U"a"}, {0, 14, U"b"}, {0, 0, U"c"}}, 1, 100},
        {"a form feed at the very end is asked for", U"a\f", {{0, 0, U"a"}}, 1, 100},
        // After the sixth line y = 84 > 100 - 2 * 14.
        {"a page breaks when a line would start below the height less two", U"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8",
         {{0, 0, U"1"}, {0, 14, U"2"}, {0, 28, U"3"}, {0, 42, U"4"}, {0, 56, U"5"}, {0, 70, U"6"}, {0, 0, U"7"},
          {0, 14, U"8"}},
         1, 100},
        {"no blank page after six lines that fill the page", U"1\r\n2\r\n3\r\n4\r\n5\r\n6",
         {{0, 0, U"1"}, {0, 14, U"2"}, {0, 28, U"3"}, {0, 42, U"4"}, {0, 56, U"5"}, {0, 70, U"6"}}, 0, 100},
        // Empty lines are 12 high: eight leave y = 96 (not below 100), nine 108.
        {"eight empty lines stay on the page", std::u32string(8, U'\n') + U"x", {{0, 96, U"x"}}, 0, 100},
        {"nine empty lines break it", std::u32string(9, U'\n') + U"x", {{0, 0, U"x"}}, 1, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingPrintSurface s(c.pageWidth, 100, 10, 12);
        PrintDocument(s, c.text);
        std::vector<Drawn> draws;
        for (const auto& e : s.Draws()) draws.push_back({e.x, e.y, e.text});
        EXPECT_EQ(draws, c.draws);
        EXPECT_EQ(s.Count(Op::NewPage), c.newPages);
        ASSERT_GE(s.log.size(), 2u);
        EXPECT_EQ(s.log.front().op, Op::Begin);
        EXPECT_EQ(s.log.back().op, Op::End);
        // Each new page comes right before the first run drawn at its top.
        for (std::size_t i = 0; i + 1 < s.log.size(); ++i)
            if (s.log[i].op == Op::NewPage) {
                EXPECT_TRUE(s.log[i + 1].op == Op::Draw ? s.log[i + 1].y == 0 : s.log[i + 1].op == Op::End);
            }
    }
}

TEST(PrintLayout, SurfaceFailureAbortsTheDocumentAndIsPassedOn)
{
    RecordingPrintSurface s(100, 100, 10, 12);
    s.failOnDraw = "paper jam";
    EXPECT_THROW(PrintDocument(s, U"abc"), PrintError);
    EXPECT_EQ(s.Count(Op::Begin), 1);
    EXPECT_EQ(s.Count(Op::Abort), 1);
    EXPECT_EQ(s.Count(Op::End), 0);

    RecordingPrintSurface t(100, 100, 10, 12);
    t.failOnBegin = "no printer";
    EXPECT_THROW(PrintDocument(t, U"abc"), PrintError);
    EXPECT_TRUE(t.log.empty());
}

}  // namespace
}  // namespace platform
