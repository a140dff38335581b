#pragma once
// Reading what a command-line tool (pdftotext, pdfinfo) prints, for tests
// that check written PDF files by their text.
#include <cstdio>
#include <string>

// Standard output of a shell command; empty when it cannot be started.
inline std::string CommandOutput(const std::string& command)
{
    std::string out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
        pclose(pipe);
    }
    return out;
}

// Runs of blanks as one: pdftotext keeps the words, not the exact spacing.
inline std::string Squeezed(const std::string& text)
{
    std::string out;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\f';
        if (blank && (out.empty() || out.back() == ' ')) continue;
        out += blank ? ' ' : c;
    }
    return out;
}
