#pragma once
// The characters of text files the program reads. The program writes UTF-8;
// older worksheets were written in the single-byte Windows character set
// (Windows-1252), and some editors put a UTF-8 byte-order mark first. Texts
// inside the program are UTF-8. The conversions use the C library's iconv.
#include <string>

// What some editors put first in a UTF-8 file.
extern const char ByteOrderMark[4];

// Length of the UTF-8 sequence starting at s[i] (i < s.size()), 0 when it is
// not valid: overlong forms, surrogates and values past U+10FFFF refused.
std::size_t Utf8SequenceLength(const std::string& s, std::size_t i);

// True when the bytes are UTF-8 text (no overlong forms, no surrogates).
bool IsUtf8(const std::string& bytes);

// Windows-1252 text as UTF-8. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same
// number, as Windows itself reads them.
std::string Windows1252ToUtf8(const std::string& bytes);

// The text of a file as UTF-8: a leading UTF-8 byte-order mark is dropped;
// UTF-8 text is kept as it is; anything else is read as Windows-1252.
std::string TextFromFileBytes(const std::string& bytes);

// The text cut to at most maxBytes bytes without splitting a UTF-8 character.
std::string CutAtCharacter(const std::string& text, std::size_t maxBytes);
