#include "cli/help_formatter.h"

#include <sstream>

namespace {

constexpr std::size_t OptionColumn = 34;  // where the descriptions start
constexpr std::size_t LineWidth = 79;

}  // namespace

std::string WrapHelpText(const std::string& text, std::size_t width, std::size_t indent)
{
    std::string out;
    std::size_t lineLength = indent;  // the first line's start is the caller's
    std::istringstream paragraphs(text);
    std::string paragraph;
    bool firstParagraph = true;
    while (std::getline(paragraphs, paragraph)) {
        if (!firstParagraph) {
            out += '\n' + std::string(indent, ' ');
            lineLength = indent;
        }
        firstParagraph = false;
        std::istringstream words(paragraph);
        std::string word;
        bool lineEmpty = true;
        while (words >> word) {
            if (!lineEmpty && lineLength + 1 + word.size() > width) {
                out += '\n' + std::string(indent, ' ');
                lineLength = indent;
                lineEmpty = true;
            }
            if (!lineEmpty) {
                out += ' ';
                ++lineLength;
            }
            out += word;
            lineLength += word.size();
            lineEmpty = false;
        }
    }
    return out;
}

CliHelpFormatter::CliHelpFormatter() { column_width(OptionColumn); }

std::string CliHelpFormatter::make_description(const CLI::App* app) const
{
    return WrapHelpText(CLI::Formatter::make_description(app), LineWidth, 0) + "\n\n";
}

std::string CliHelpFormatter::make_option_opts(const CLI::Option* option) const
{
    if (option->get_type_size() == 0 || option->get_type_name().empty()) return std::string();
    return " " + option->get_type_name();
}

std::string CliHelpFormatter::make_option(const CLI::Option* option, bool isPositional) const
{
    // Two blanks at least between an option and its description, or the
    // description on a line of its own: so a reader and help2man both see
    // where the option ends.
    std::string name = "  " + make_option_name(option, isPositional) + make_option_opts(option);
    const std::string description = make_option_desc(option);
    if (description.empty()) return name + "\n";
    if (name.size() + 2 > OptionColumn)
        name += '\n' + std::string(OptionColumn, ' ');
    else
        name += std::string(OptionColumn - name.size(), ' ');
    return name + WrapHelpText(description, LineWidth, OptionColumn) + "\n";
}
