#include "tests/support/scripted_save_dialog.h"
#include "tests/support/recording_messages.h"
#include "analysis/files/save_dialog.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <tuple>

#include <gtest/gtest.h>

#include "foundation/messages.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// Every dialog of the session opens in the last folder saved to, each with
// its own last name; a name without an extension gets the filter's.
TEST(SaveDialog, ProposesTheLastNameInTheLastFolderAndAddsTheExtension)
{
    ScriptedSaveDialog dialog;
    dialog.ScriptAnswer(std::string("/data/a.txt"));
    dialog.ScriptAnswer(std::nullopt);
    dialog.ScriptAnswer(std::string("/data/b"));
    dialog.ScriptAnswer(std::string());  // an empty answer counts as a cancel

    EXPECT_EQ(dialog.Execute(), std::optional<std::string>("/data/a.txt"));
    EXPECT_EQ(dialog.Execute(), std::nullopt);
    EXPECT_EQ(dialog.Execute(), std::optional<std::string>("/data/b.txt"));
    EXPECT_EQ(dialog.Execute(), std::nullopt);

    ASSERT_EQ(dialog.calls.size(), 4u);
    EXPECT_EQ(dialog.calls[0].proposed, "results.txt");
    EXPECT_EQ(dialog.calls[1].proposed, "/data/a.txt");
    EXPECT_EQ(dialog.calls[2].proposed, "/data/a.txt");  // a cancel keeps the last name
    EXPECT_EQ(dialog.calls[3].proposed, "/data/b.txt");
    for (const auto& call : dialog.calls) {
        EXPECT_EQ(call.filter, "Text files (*.txt)");
        EXPECT_TRUE(call.overwritePrompt);
    }
    EXPECT_EQ(dialog.FileName(), "/data/b.txt");

    ScriptedSaveDialog pdf("results.pdf", "PDF files (*.pdf)");
    pdf.ScriptAnswer(std::nullopt);
    pdf.Execute();
    EXPECT_EQ(pdf.calls[0].proposed, "/data/results.pdf");
    EXPECT_EQ(pdf.FileName(), "results.pdf");
}

TEST(SaveDialog, ExtensionOfTheFilterGoesOnANameWithoutOne)
{
    const std::pair<const char*, const char*> filters[] = {
        {"Text files (*.txt)", ".txt"}, {"PNG images (*.png);;SVG drawings (*.svg)", ".png"},
        {"*.csv", ".csv"},              {"All files (*)", ""}, {"", ""}};
    for (const auto& [filter, extension] : filters) EXPECT_EQ(FilterExtension(filter), extension) << filter;

    const std::tuple<const char*, const char*, const char*> names[] = {
        {"report", ".txt", "report.txt"},         {"report.old", ".txt", "report.old"},
        {"/a.b/report", ".pdf", "/a.b/report.pdf"}, {".hidden", ".txt", ".hidden.txt"},
        {"report", "", "report"},                 {"/data/", ".txt", "/data/"}};
    for (const auto& [name, extension, result] : names) EXPECT_EQ(WithExtension(name, extension), result) << name;
}

// The dialog asked about "r", not about "r.txt": replacing that is asked here.
TEST(SaveDialog, AddedExtensionNamingAFileAsksBeforeReplacing)
{
    TempFolder temp;
    const fs::path folder = temp.path;
    temp.Write("r.txt", "kept");
    temp.Write("plain", "kept");
    // A name that exists is taken as chosen, a file's or a folder's.
    for (const fs::path& existing : {folder / "plain", folder}) {
        ScriptedSaveDialog dialog;
        dialog.ScriptAnswer(existing.string());
        EXPECT_EQ(dialog.Execute(), std::optional<std::string>(existing.string()));
    }
    RecordingMessages messages;
    ScopedMessages scoped(messages);
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        ScriptedSaveDialog dialog;
        dialog.ScriptAnswer((folder / "r").string());
        messages.Clear();
        messages.ScriptAnswers({answer});
        const std::optional<std::string> chosen = dialog.Execute();
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "\"" + (folder / "r.txt").string() + "\" already exists.\rDo you want to replace it?");
        EXPECT_EQ(chosen, answer == Answer::Yes ? std::optional<std::string>((folder / "r.txt").string()) : std::nullopt);
    }
}

}  // namespace
}  // namespace platform
