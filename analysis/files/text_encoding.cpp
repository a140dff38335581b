#include "analysis/files/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace {

const char ByteOrderMark[] = "\xEF\xBB\xBF";

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

bool IsUtf8(const std::string& bytes)
{
    Converter toUtf32("UTF-32LE", "UTF-8");
    const char* in = bytes.data();
    std::size_t left = bytes.size();
    std::string ignored;
    return toUtf32.Convert(in, left, ignored);
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
