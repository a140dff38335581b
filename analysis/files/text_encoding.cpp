#include "analysis/files/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

const char ByteOrderMark[4] = "\xEF\xBB\xBF";

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(::iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("The character set conversion from ") + from + " to " + to +
                                     " is not available on this system.");
    }
    ~Converter() { ::iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts from *in on; stops at the end or at a byte it cannot convert
    // (in then points at it). Returns false on such a byte.
    bool Convert(const char*& in, std::size_t& left, std::string& out)
    {
        char buffer[4096];
        while (left > 0) {
            char* inPtr = const_cast<char*>(in);
            char* outPtr = buffer;
            std::size_t room = sizeof buffer;
            const std::size_t result = ::iconv(cd_, &inPtr, &left, &outPtr, &room);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            in = inPtr;
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
        }
        return true;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::size_t Utf8SequenceLength(const std::string& s, std::size_t i)
{
    auto byte = [&](std::size_t j) { return static_cast<unsigned char>(s[j]); };
    unsigned char b = byte(i);
    if (b < 0x80) return 1;
    std::size_t n;
    unsigned min;
    unsigned cp;
    if ((b & 0xE0) == 0xC0) { n = 2; min = 0x80; cp = b & 0x1F; }
    else if ((b & 0xF0) == 0xE0) { n = 3; min = 0x800; cp = b & 0x0F; }
    else if ((b & 0xF8) == 0xF0) { n = 4; min = 0x10000; cp = b & 0x07; }
    else return 0;
    if (i + n > s.size()) return 0;
    for (std::size_t j = 1; j < n; ++j) {
        if ((byte(i + j) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + j) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

bool IsUtf8(const std::string& bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = Utf8SequenceLength(bytes, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string Windows1252ToUtf8(const std::string& bytes)
{
    Converter toUtf8("UTF-8", "WINDOWS-1252");
    const char* in = bytes.data();
    std::size_t left = bytes.size();
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    while (!toUtf8.Convert(in, left, out)) {
        // An undefined byte: the character of the same number (U+0081 ...).
        const unsigned char byte = static_cast<unsigned char>(*in);
        out += static_cast<char>(0xC0 | (byte >> 6));
        out += static_cast<char>(0x80 | (byte & 0x3F));
        ++in;
        --left;
    }
    return out;
}

std::string TextFromFileBytes(const std::string& bytes)
{
    std::string text = bytes;
    if (text.compare(0, 3, ByteOrderMark) == 0) text.erase(0, 3);
    if (IsUtf8(text)) return text;
    return Windows1252ToUtf8(text);
}

std::string CutAtCharacter(const std::string& text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes) return text;
    std::size_t cut = maxBytes;
    // Back to the first byte of the character that would be split.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut);
}
