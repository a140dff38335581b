// Text files are read as UTF-8, with or without a byte-order mark, and as
// Windows-1252 when they are not UTF-8 (older worksheets).
#include <gtest/gtest.h>

#include "analysis/files/text_encoding.h"

namespace {

// "Größe €ł" in UTF-8; the Windows-1252 bytes of "Größe €" (ł is not in it).
const std::string kUtf8 = "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC\xC5\x82";
const std::string kCp1252 = "Gr\xF6\xDF" "e \x80";
const std::string kCp1252AsUtf8 = "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC";

TEST(TextEncoding, FileBytesBecomeUtf8Text)
{
    const struct {
        const char* what;
        std::string bytes;
        std::string text;
    } cases[] = {
        {"UTF-8 kept", kUtf8, kUtf8},
        {"byte-order mark dropped", "\xEF\xBB\xBF" + kUtf8 + "\r\n", kUtf8 + "\r\n"},
        {"only a byte-order mark", "\xEF\xBB\xBF", ""},
        {"a mark later on is text", "a\xEF\xBB\xBF", "a\xEF\xBB\xBF"},
        {"Windows-1252", kCp1252 + "\r\n", kCp1252AsUtf8 + "\r\n"},
        {"Windows-1252 after a mark", "\xEF\xBB\xBF" + kCp1252, kCp1252AsUtf8},
        {"undefined Windows-1252 bytes", "\x81\x8D\x8F\x90\x9D\xFF", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D\xC3\xBF"},
        {"NUL kept", std::string("1\0" "2", 3), std::string("1\0" "2", 3)},
        {"empty", "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(TextFromFileBytes(c.bytes), c.text) << c.what;
}

TEST(TextEncoding, Utf8CheckAndCharacterCut)
{
    EXPECT_TRUE(IsUtf8(kUtf8));
    EXPECT_TRUE(IsUtf8(""));
    for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xE2\x82", "\xF5\x80\x80\x80", "\x80"})
        EXPECT_FALSE(IsUtf8(bad)) << bad;
    EXPECT_EQ(CutAtCharacter(kUtf8, 3), "Gr");        // not half of ö
    EXPECT_EQ(CutAtCharacter(kUtf8, 4), "Gr\xC3\xB6");
    EXPECT_EQ(CutAtCharacter(kUtf8, 100), kUtf8);
}

}  // namespace
