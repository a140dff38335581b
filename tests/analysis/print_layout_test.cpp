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

std::vector<Drawn> DrawsOf(const RecordingPrintSurface& s)
{
    std::vector<Drawn> out;
    for (const auto& e : s.Draws()) out.push_back({e.x, e.y, e.text});
    return out;
}

// Page 100 x 100, characters 10 wide and 12 high: a line with text is 14 high.
RecordingPrintSurface SmallPage() { return RecordingPrintSurface(100, 100, 10, 12); }

TEST(PrintLayout, EmptyTextIsOneEmptyLineInABegunAndEndedDocument)
{
    RecordingPrintSurface s = SmallPage();
    PrintDocument(s, U"");
    ASSERT_EQ(s.log.size(), 2u);
    EXPECT_EQ(s.log[0].op, Op::Begin);
    EXPECT_EQ(s.log[1].op, Op::End);
}

TEST(PrintLayout, LinesGoDownByTallestRunPlusTwoAndCrLfIsOneBreak)
{
    RecordingPrintSurface s = SmallPage();
    PrintDocument(s, U"ab\r\ncd\ne");
    EXPECT_EQ(DrawsOf(s), (std::vector<Drawn>{{0, 0, U"ab"}, {0, 14, U"cd"}, {0, 28, U"e"}}));
    EXPECT_EQ(s.Count(Op::NewPage), 0);
}

TEST(PrintLayout, EmptyLineIsOneCharacterHeightTall)
{
    RecordingPrintSurface s = SmallPage();
    PrintDocument(s, U"a\r\n\r\nb\n\nc");
    EXPECT_EQ(DrawsOf(s), (std::vector<Drawn>{{0, 0, U"a"}, {0, 26, U"b"}, {0, 52, U"c"}}));
}

TEST(PrintLayout, CarriageReturnAloneOnlyEndsTheRun)
{
    RecordingPrintSurface s = SmallPage();
    PrintDocument(s, U"ab\rcd");
    EXPECT_EQ(DrawsOf(s), (std::vector<Drawn>{{0, 0, U"ab"}, {20, 0, U"cd"}}));
}

TEST(PrintLayout, LongLineIsCutAtTheLastFittingCharacterAndContinued)
{
    RecordingPrintSurface s = SmallPage();
    PrintDocument(s, U"abcdefghijklmnopqrstuvwxy\r\nz");
    EXPECT_EQ(DrawsOf(s), (std::vector<Drawn>{{0, 0, U"abcdefghij"},
                                             {0, 14, U"klmnopqrst"},
                                             {0, 28, U"uvwxy"},
                                             {0, 42, U"z"}}));
}

TEST(PrintLayout, RunExactlyFillingTheWidthIsNotCut)
{
    RecordingPrintSurface s = SmallPage();
    PrintDocument(s, U"abcdefghij");
    EXPECT_EQ(DrawsOf(s), (std::vector<Drawn>{{0, 0, U"abcdefghij"}}));
}

TEST(PrintLayout, TabMovesToTheNextMultipleOfEightAverageWidths)
{
    RecordingPrintSurface s(400, 1000, 10, 12);
    PrintDocument(s, U"a\tb\r\n\t\tc\r\nabcdefgh\tX");
    EXPECT_EQ(DrawsOf(s), (std::vector<Drawn>{{0, 0, U"a"},
                                             {80, 0, U"b"},
                                             {160, 14, U"c"},
                                             {0, 28, U"abcdefgh"},
                                             {160, 28, U"X"}}));
}

TEST(PrintLayout, RunAfterATabIsCutAtTheRemainingWidth)
{
    RecordingPrintSurface s = SmallPage();
    PrintDocument(s, U"1\tabcdef");
    EXPECT_EQ(DrawsOf(s), (std::vector<Drawn>{{0, 0, U"1"}, {80, 0, U"ab"}, {0, 14, U"cdef"}}));
}

TEST(PrintLayout, RunThatDoesNotStartToFitGoesToTheNextLine)
{
    RecordingPrintSurface s = SmallPage();
    // The second tab leaves x at 160, beyond the page width of 100.
    PrintDocument(s, U"1\t\tabc");
    EXPECT_EQ(DrawsOf(s), (std::vector<Drawn>{{0, 0, U"1"}, {0, 14, U"abc"}}));
}

TEST(PrintLayout, CharacterWiderThanThePageStillMovesOn)
{
    RecordingPrintSurface s(5, 100, 10, 12);
    PrintDocument(s, U"ab");
    EXPECT_EQ(DrawsOf(s), (std::vector<Drawn>{{0, 0, U"a"}, {0, 14, U"b"}}));
}

TEST(PrintLayout, FormFeedStartsANewPageAtTheTop)
{
    RecordingPrintSurface s = SmallPage();
    PrintDocument(s, U"a\r\nb\fc");
    ASSERT_EQ(s.log.size(), 6u);
    EXPECT_EQ(s.log[3].op, Op::NewPage);
    EXPECT_EQ(DrawsOf(s), (std::vector<Drawn>{{0, 0, U"a"}, {0, 14, U"b"}, {0, 0, U"c"}}));
    // A form feed at the very end is asked for, so its page is printed.
    RecordingPrintSurface t = SmallPage();
    PrintDocument(t, U"a\f");
    EXPECT_EQ(t.Count(Op::NewPage), 1);
}

TEST(PrintLayout, PageBreaksWhenTheNextLineStartsBelowHeightMinusTwiceTheLine)
{
    // Height 100, lines 14 high: after the sixth line y = 84 > 100 - 28.
    RecordingPrintSurface s = SmallPage();
    PrintDocument(s, U"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8");
    std::vector<Drawn> d = DrawsOf(s);
    ASSERT_EQ(d.size(), 8u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(d[i].y, 14 * i) << i;
    EXPECT_EQ(d[6], (Drawn{0, 0, U"7"}));
    EXPECT_EQ(d[7], (Drawn{0, 14, U"8"}));
    ASSERT_EQ(s.Count(Op::NewPage), 1);
    // The new page comes between the sixth and seventh runs.
    std::size_t newPage = 0, seventh = 0;
    for (std::size_t i = 0; i < s.log.size(); ++i) {
        if (s.log[i].op == Op::NewPage) newPage = i;
        if (s.log[i].op == Op::Draw && s.log[i].text == U"7") seventh = i;
    }
    EXPECT_EQ(newPage + 1, seventh);
}

TEST(PrintLayout, EmptyLinesBreakThePageOnlyBelowThePageHeight)
{
    // Empty lines are 12 high: eight leave y = 96 (not below 100), nine 108.
    RecordingPrintSurface s = SmallPage();
    PrintDocument(s, std::u32string(8, U'\n') + U"x");
    EXPECT_EQ(DrawsOf(s), (std::vector<Drawn>{{0, 96, U"x"}}));
    EXPECT_EQ(s.Count(Op::NewPage), 0);

    RecordingPrintSurface t = SmallPage();
    PrintDocument(t, std::u32string(9, U'\n') + U"x");
    EXPECT_EQ(DrawsOf(t), (std::vector<Drawn>{{0, 0, U"x"}}));
    EXPECT_EQ(t.Count(Op::NewPage), 1);
}

TEST(PrintLayout, NoBlankPageAfterTheLastLine)
{
    // Six lines fill the page; the line break sent after the text would
    // start a page with nothing on it.
    RecordingPrintSurface s = SmallPage();
    PrintDocument(s, U"1\r\n2\r\n3\r\n4\r\n5\r\n6");
    EXPECT_EQ(s.Count(Op::NewPage), 0);
    EXPECT_EQ(s.Draws().size(), 6u);
    EXPECT_EQ(s.log.back().op, Op::End);
}

TEST(PrintLayout, SurfaceFailureAbortsTheDocumentAndIsPassedOn)
{
    RecordingPrintSurface s = SmallPage();
    s.failOnDraw = "paper jam";
    EXPECT_THROW(PrintDocument(s, U"abc"), PrintError);
    EXPECT_EQ(s.Count(Op::Begin), 1);
    EXPECT_EQ(s.Count(Op::Abort), 1);
    EXPECT_EQ(s.Count(Op::End), 0);

    RecordingPrintSurface t = SmallPage();
    t.failOnBegin = "no printer";
    EXPECT_THROW(PrintDocument(t, U"abc"), PrintError);
    EXPECT_TRUE(t.log.empty());
}

}  // namespace
}  // namespace platform
