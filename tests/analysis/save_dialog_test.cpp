#include "tests/support/scripted_save_dialog.h"
#include "analysis/files/save_dialog.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(SaveDialog, ProposesTheDefaultThenTheLastChosenName)
{
    ScriptedSaveDialog dialog;
    dialog.ScriptAnswer(std::string("/data/a.txt"));
    dialog.ScriptAnswer(std::nullopt);
    dialog.ScriptAnswer(std::string("/data/b"));

    EXPECT_EQ(dialog.Execute(), std::optional<std::string>("/data/a.txt"));
    EXPECT_EQ(dialog.Execute(), std::nullopt);          // cancelled
    EXPECT_EQ(dialog.Execute(), std::optional<std::string>("/data/b"));

    ASSERT_EQ(dialog.calls.size(), 3u);
    EXPECT_EQ(dialog.calls[0].proposed, "results.txt");
    EXPECT_EQ(dialog.calls[1].proposed, "/data/a.txt");
    EXPECT_EQ(dialog.calls[2].proposed, "/data/a.txt");  // a cancel keeps the last name
    for (const auto& call : dialog.calls) {
        EXPECT_EQ(call.filter, "*.txt");
        EXPECT_TRUE(call.overwritePrompt);
    }
    EXPECT_EQ(dialog.FileName(), "/data/b");
}

TEST(SaveDialog, AnEmptyAnswerCountsAsCancel)
{
    ScriptedSaveDialog dialog;
    dialog.ScriptAnswer(std::string());
    EXPECT_EQ(dialog.Execute(), std::nullopt);
    EXPECT_EQ(dialog.FileName(), "results.txt");
}

}  // namespace
}  // namespace platform
