// harrow-cli --plot and --pdf: each ending gives a valid file beside the
// unchanged report; a refused or failing name writes nothing, prints no
// report and leaves the inputs as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <QByteArray>
#include <QtGlobal>
#include <QXmlStreamReader>

#include "cli_process.h"
#include "tests/support/command_output.h"

namespace {

namespace fs = std::filesystem;

bool IsSvg(const std::string& bytes)
{
    QXmlStreamReader xml(QByteArray::fromStdString(bytes));
    bool rootIsSvg = false;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && !rootIsSvg)
            rootIsSvg = xml.name() == QLatin1String("svg");
    return rootIsSvg && !xml.hasError();
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Each ending gives its file beside the unchanged report. --plot-width: the
// PDF's one page is the figure at that width; the SVG states its size in
// millimetres; without the title, the title is gone.
TEST(CliPlot, EachEndingWidthAndTitleGiveTheirFileBesideTheSameReport)
{
    const std::string worksheet = ExamplePath("worked-example.txt");
    const CliRun plain = RunCli({worksheet});
    ASSERT_EQ(plain.exitCode, 0);
    const std::string png = "\x89PNG\r\n\x1a\n", pdf = "%PDF-";
    const std::string title = "Posterior distribution of Z-CCC:";
    const double pointsPerMm = 72 / 25.4;
    TempFolder folder;
    const struct {
        std::vector<std::string> options;
        std::string file, start;  // the file's first bytes (an SVG is read as XML)
        std::string command;      // on the file's quoted name, when given
        std::string expected;     // in the command's output (squeezed)
        int titled;               // -1: not looked at
    } cases[] = {
        {{}, "figure.png", png, "", "", -1},
        {{}, "figure.PNG", png, "", "", -1},
        {{}, "figure.svg", "", "", "", 1},
        {{}, "figure.pdf", pdf, "", "", 1},
        {{"--plot-width", "85"}, "column.pdf", pdf, "pdfinfo",
         "Page size: " + std::to_string(qRound(85 * pointsPerMm)) + " x", 1},
        {{"--plot-width", "175", "--plot-no-title"}, "page.pdf", pdf, "pdfinfo",
         "Page size: " + std::to_string(qRound(175 * pointsPerMm)) + " x", 0},
        {{"--plot-width", "85"}, "column.svg", "", "head -c 600", "width=\"85mm\"", 1},
        {{"--plot-no-title"}, "plain.svg", "", "", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = folder.Path() + "/" + c.file;
        std::vector<std::string> arguments{"--plot", path};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        arguments.push_back(worksheet);
        const CliRun run = RunCli(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, plain.out);
        EXPECT_EQ(run.err, "");
        const std::string bytes = ReadFile(path);
        const bool isPdf = c.start == pdf;
        if (c.start.empty())
            EXPECT_TRUE(IsSvg(bytes));
        else
            EXPECT_EQ(bytes.substr(0, c.start.size()), c.start);
        if (!c.command.empty()) {
            EXPECT_NE(Squeezed(CommandOutput(c.command + " '" + path + "'")).find(c.expected), std::string::npos);
        }
        if (c.titled < 0) continue;
        std::string text = isPdf ? CommandOutput("pdftotext '" + path + "' -") : bytes;
        // The drawing's own title names it in either case: only drawn text counts.
        if (const std::size_t at = text.find("<title>"); at != std::string::npos)
            text.erase(at, text.find("</title>") - at);
        EXPECT_EQ(text.find(title) != std::string::npos, c.titled == 1);
    }
    // Out of range, or without --plot: refused before anything is read.
    const std::pair<std::vector<std::string>, std::string> refusals[] = {
        {{"--plot", folder.Path() + "/x.png", "--plot-width", "20"},
         "--plot-width: \"20\" is not a width of 40 to 400 millimetres\n"},
        {{"--plot", folder.Path() + "/x.png", "--plot-width", "8,5"},
         "--plot-width: \"8,5\" is not a width of 40 to 400 millimetres\n"},
        {{"--plot-width", "85"}, "--plot-width requires --plot\n"},
        {{"--plot-no-title"}, "--plot-no-title requires --plot\n"}};
    for (const auto& [options, message] : refusals) {
        std::vector<std::string> arguments = options;
        arguments.push_back(worksheet);
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.exitCode, 2) << options[0];
        EXPECT_EQ(run.err.substr(0, message.size()), message);
    }
    EXPECT_FALSE(fs::exists(folder.Path() + "/x.png"));
}

TEST(CliPdf, TheReportsLinesThenTheFigureOnItsOwnPage)
{
    TempFolder folder;
    const std::string worksheet = ExamplePath("memory-two-covariates.txt");
    const CliRun plain = RunCli({"--limit", "upper", worksheet});
    const std::string path = folder.Path() + "/report.pdf";
    const CliRun run = RunCli({"--limit", "upper", "--pdf", path, worksheet});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, plain.out);
    ASSERT_EQ(ReadFile(path).substr(0, 5), "%PDF-");
    const std::string info = Squeezed(CommandOutput("pdfinfo '" + path + "'"));
    const std::size_t at = info.find("Pages: ");
    ASSERT_NE(at, std::string::npos);
    const int pages = std::atoi(info.c_str() + at + 7);
    ASSERT_GE(pages, 2);
    const std::string report = Squeezed(
        CommandOutput("pdftotext -layout -l " + std::to_string(pages - 1) + " '" + path + "' -"));
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        std::string squeezed = Squeezed(line);
        if (!squeezed.empty() && squeezed[0] == ' ') squeezed.erase(0, 1);
        if (!squeezed.empty()) {
            EXPECT_NE(report.find(squeezed), std::string::npos) << line;
        }
    }
    const std::string last = CommandOutput("pdftotext -f " + std::to_string(pages) + " '" + path + "' -");
    EXPECT_NE(last.find("Posterior distribution of Z-CCC: Story recall (delayed) (k = 2, N = 28)"),
              std::string::npos) << last;
    EXPECT_NE(last.find("95% upper credible limit"), std::string::npos);
}

TEST(CliPlot, RefusedOrFailingNamesWriteNothing)
{
    TempFolder folder;
    const std::string worksheetText = ReadFile(ExamplePath("worked-example.txt"));
    // A worksheet whose name ends in .pdf, so that only the same-file rule stops it.
    const std::string worksheet = folder.Write("worksheet.pdf", worksheetText);
    const std::string f = folder.Path() + "/";
    struct Case {
        std::vector<std::string> options;
        int exitCode;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"--plot", f + "figure.bmp"}, 2,
         "Error: Cannot save the figure as \"" + f + "figure.bmp\": the name must end in .png, .svg or .pdf.\n"},
        {{"--plot", f + "figure"}, 2,
         "Error: Cannot save the figure as \"" + f + "figure\": the name must end in .png, .svg or .pdf.\n"},
        {{"--pdf", f + "report.txt"}, 2,
         "Error: Cannot save the report as \"" + f + "report.txt\": the name must end in .pdf.\n"},
        {{"--pdf", worksheet}, 2,
         "Error: Cannot write \"" + worksheet + "\": it is the worksheet file, which is only read.\n"},
        {{"--plot", f + "same.pdf", "--pdf", f + "./same.pdf"}, 2,
         "Error: Cannot write \"" + f + "./same.pdf\": --plot and --pdf name the same file.\n"},
        {{"--plot", f + "missing/figure.png"}, 2, "Error: Cannot save the file \"" + f + "missing/figure.png\"."},
        // Names compared as they will be: a relative name and another spelling of it are one new file.
        {{"--plot", "same.pdf", "--pdf", "./same.pdf"}, 2,
         "Error: Cannot write \"./same.pdf\": --plot and --pdf name the same file.\n"},
    };
    InFolder here(folder.Path());
    for (const Case& c : cases) {
        std::vector<std::string> arguments = c.options;
        arguments.push_back(worksheet);
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.options[1];
        EXPECT_EQ(run.out, "") << c.options[1];
        EXPECT_EQ(run.err.substr(0, c.message.size()), c.message);
        EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"worksheet.pdf"}) << c.options[1];
        EXPECT_EQ(ReadFile(worksheet), worksheetText);
    }
    // Raw control data make no figure: refused before anything is read.
    const CliRun raw = RunCli({"--controls", f + "controls.csv", "--task", "Task", "--covariates", "Educ", "--plot",
                               f + "figure.png"});
    EXPECT_EQ(raw.exitCode, 2);
    EXPECT_EQ(raw.err.rfind("--plot and --pdf go with a worksheet FILE\n", 0), 0u) << raw.err;
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"worksheet.pdf"});
}

}  // namespace
