#pragma once
// `harrow-cli --help` (and so its manual page, which help2man makes from
// it): the description and each option's description wrapped to a
// terminal's width, each option with its value's name only beside it. Which
// options go together is said in the descriptions, in words. The sections
// after the options keep the lines they are written in.
#include <string>

#include <CLI/CLI.hpp>

class CliHelpFormatter : public CLI::Formatter {
public:
    CliHelpFormatter();
    std::string make_option(const CLI::Option* option, bool isPositional) const override;
    std::string make_option_opts(const CLI::Option* option) const override;
    std::string make_description(const CLI::App* app) const override;
};

// The text broken at blanks into lines that end by column `width` (a longer
// word stands alone), for a text that starts at column `indent`: the lines
// after the first are indented by as many blanks. Line breaks are kept.
std::string WrapHelpText(const std::string& text, std::size_t width, std::size_t indent);

