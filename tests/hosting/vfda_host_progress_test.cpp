// The progress bar of long commands: drawn on standard error when it is a terminal, never on
// a pipe or a file, never with --json, and never mixed into standard output.
#include "platform/pseudo_terminal.h"
#include "progress_bar.h"
#include "sim/line_server.h"
#include "sim/simulator.h"
#include "sim_program_line.h"
#include "terminal_stderr.h"

#include <fstream>
#include <iterator>
#include <sstream>

using namespace testing_support;

namespace {

TEST(ProgressBarLine, FillsInProportionAndCountsWhatIsDone) {
    EXPECT_EQ(vfdahost::ProgressBar::Render("scan", 0, 32),
              "scan [..............................] 0/32");
    EXPECT_EQ(vfdahost::ProgressBar::Render("scan", 16, 32),
              "scan [###############...............] 16/32");
    EXPECT_EQ(vfdahost::ProgressBar::Render("PUMP1 reading", 81, 81),
              "PUMP1 reading [##############################] 81/81");
    EXPECT_EQ(vfdahost::ProgressBar::Render("x", 9, 3), "x [##############################] 3/3");
    EXPECT_EQ(vfdahost::ProgressBar::Render("x", 0, 0), "x [##############################] 0/0");
}

// A station name reaches the terminal escaped as the events escape it, and a long Korean name
// is cut between characters, counted in the columns a terminal gives them.
TEST(ProgressBarLine, LabelsAreEscapedAndCutOnCharacters) {
    const std::string bar = " [..............................] 0/1";
    EXPECT_EQ(vfdahost::ProgressBar::Render("\x1b]0;owned\x07\x1b[2J", 0, 1),
              "\\x1b]0;owned\\x07\\x1b[2J" + bar);
    std::string korean;
    for (int i = 0; i < 20; ++i) {
        korean += "\xEA\xB0\x80"; // 가, two columns
    }
    size_t columns = 0;
    const std::string line = vfdahost::ProgressBar::Render(korean, 0, 1, columns);
    EXPECT_EQ(line, korean.substr(0, 15 * 3) + bar) << "15 characters fill 30 columns";
    EXPECT_EQ(columns, 30 + bar.size());
    EXPECT_EQ(vfdahost::ProgressBar::Render("a" + korean, 0, 1),
              "a" + korean.substr(0, 14 * 3) + bar)
        << "a character that would pass the 30th column is left out whole";
}

TEST(ProgressBarLine, RedrawsInPlaceBlanksLeftoversAndErasesItself) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    {
        vfdahost::ProgressBar bar(true, out);
        bar.Show("a long label", 1, 2);
        bar.Show("short", 2, 2);
    } // erased at the end
    std::rewind(out);
    std::string text;
    for (int c = std::fgetc(out); c != EOF; c = std::fgetc(out)) {
        text += static_cast<char>(c);
    }
    std::fclose(out);
    const std::string first = "\ra long label [###############...............] 1/2";
    const std::string second = "\rshort [##############################] 2/2";
    const size_t width = first.size() - 1;
    const std::string blanks(width - (second.size() - 1), ' ');
    EXPECT_EQ(text, first + second + blanks + "\r" + std::string(width, ' ') + "\r");
}

class ProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        line_ = platform::TerminalLine::CreatePseudoTerminal(error);
        ASSERT_TRUE(line_) << error;
        sim::LineOptions options;
        options.wireTiming = false;
        server_ = std::make_unique<sim::LineServer>(drives_, *line_, options);
        server_->Start();
    }
    void TearDown() override {
        if (server_) {
            server_->Stop();
        }
    }

    std::vector<std::string> ScanWords(std::vector<std::string> more) {
        std::vector<std::string> words = {
            "scan", "--port", "COM3=" + line_->Path(), "--baud", "4800", "--stations", "0-5"};
        words.insert(words.end(), more.begin(), more.end());
        return words;
    }

    sim::Simulator drives_{{1, 2}, 4800};
    std::unique_ptr<platform::TerminalLine> line_;
    std::unique_ptr<sim::LineServer> server_;
    TempFolder folder_;
};

TEST_F(ProgressTest, AScanDrawsTheBarOnATerminalAndErasesIt) {
    const ProgramResult result = RunWithTerminalStderr(SimProgramLine::Host(), ScanWords({}));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("\rscan [#####"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("] 6/6"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.back(), '\r') << "the bar is erased at the end";
    EXPECT_EQ(result.out, "station 01 answers at 4800 baud, software version 110, capacity code 4\n"
                          "station 02 answers at 4800 baud, software version 110, capacity code 4\n"
                          "2 station(s) found\n");
}

TEST_F(ProgressTest, NoBarWithJsonEvenOnATerminal) {
    const ProgramResult result =
        RunWithTerminalStderr(SimProgramLine::Host(), ScanWords({"--json"}));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.find('\r'), std::string::npos);
}

TEST_F(ProgressTest, NoBarOnAPipeOrAFile) {
    const ProgramResult piped = RunProgram(SimProgramLine::Host(), ScanWords({}));
    ASSERT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_EQ(piped.err, "");
    const std::string file = folder_.File("stderr.txt");
    std::vector<std::string> words = {"-c", "\"$0\" \"$@\" 2>\"" + file + "\"",
                                      SimProgramLine::Host()};
    const std::vector<std::string> scan = ScanWords({});
    words.insert(words.end(), scan.begin(), scan.end());
    const ProgramResult filed = RunProgram("/bin/sh", words);
    ASSERT_EQ(filed.exitCode, 0) << filed.err;
    std::ifstream in(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "");
}

TEST_F(ProgressTest, ABackupShowsItsReadsOnATerminal) {
    SimProgramLine::Configure(folder_.File("line.cfg"), {{"PUMP1", 1}});
    const ProgramResult result = RunWithTerminalStderr(
        SimProgramLine::Host(), {"backup", folder_.File("line.cfg"), "PUMP1", "--out",
                                 folder_.File("pump1.json"), "--port", "COM3=" + line_->Path()});
    ASSERT_EQ(result.exitCode, 0) << result.err << result.out;
    EXPECT_NE(result.err.find("\rPUMP1 reading [##"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("] 81/81"), std::string::npos) << result.err;
    // The bar erased itself; what follows are the module's log lines, each a line of its own.
    const std::string after = result.err.substr(result.err.rfind('\r') + 1);
    std::istringstream lines(after);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_EQ(line.rfind("[DELTA VFD-A] ", 0), 0u) << line;
    }
    EXPECT_EQ(result.out.find('\r'), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("PUMP1 saved to"), std::string::npos) << result.out;
}

} // namespace
