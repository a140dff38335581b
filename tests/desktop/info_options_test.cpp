// harrow --version and --help are answered before the toolkit starts; every
// other argument is left to the toolkit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop/app/info_options.h"

namespace {

std::string Answer(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "harrow");
    return InfoOptionText(static_cast<int>(arguments.size()), arguments.data(), "9.8");
}

TEST(InfoOptions, VersionAndHelpAreAnsweredOtherArgumentsAreNot)
{
    EXPECT_EQ(Answer({"--version"}), "harrow 9.8\n");
    EXPECT_EQ(Answer({"-platform", "offscreen", "--version"}), "harrow 9.8\n");
    EXPECT_EQ(Answer({"--version", "--help"}), "harrow 9.8\n");
    const std::string help = Answer({"--help"});
    EXPECT_EQ(help.rfind("Usage: harrow [--help | --version]\n", 0), 0u);
    EXPECT_NE(help.find("~/.local/share/Harrow"), std::string::npos);
    for (auto arguments : std::vector<std::vector<const char*>>{{}, {"-platform", "offscreen"}, {"-version"}, {"--Version"}})
        EXPECT_EQ(Answer(arguments), "") << arguments.size();
}

}  // namespace
