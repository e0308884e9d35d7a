// The command line of vfda-host run, and the --port mappings it takes.
#include "run_options.h"

#include <gtest/gtest.h>

using namespace vfdahost;

namespace {

PortMapping Mapped(const std::string& text) {
    PortMapping mapping;
    std::string error;
    EXPECT_TRUE(ParsePortMapping(text, mapping, error)) << error;
    return mapping;
}

bool Refused(const std::string& text) {
    PortMapping mapping;
    std::string error;
    return !ParsePortMapping(text, mapping, error) && !error.empty();
}

std::string RunError(const std::vector<std::string>& words) {
    RunOptions options;
    std::string error;
    EXPECT_FALSE(ParseRunOptions(words, options, error));
    return error;
}

} // namespace

TEST(RunOptionsTest, PortMappingsNameAComPortAndADevice) {
    EXPECT_EQ(Mapped("COM3=/dev/pts/4").number, 3);
    EXPECT_EQ(Mapped("COM3=/dev/pts/4").path, "/dev/pts/4");
    EXPECT_EQ(Mapped("com36=line").number, 36);
    EXPECT_EQ(Mapped("COM1=a=b").path, "a=b") << "only the first '=' separates";
    for (const char* wrong : {"COM0=x", "COM37=x", "COM3", "COM3=", "=x", "COM=x", "LPT1=x",
                              "COM+3=x", "COM 3=x", "COMx=y", "COM-1=x"}) {
        EXPECT_TRUE(Refused(wrong)) << wrong;
    }
}

TEST(RunOptionsTest, EveryOptionIsRead) {
    RunOptions options;
    std::string error;
    ASSERT_TRUE(ParseRunOptions({"line.cfg", "--tags", "tags.csv", "--port", "COM2=/a", "--json",
                                 "--port", "COM5=/b", "--seconds", "12", "--trace"},
                                options, error))
        << error;
    EXPECT_EQ(options.configPath, "line.cfg");
    EXPECT_EQ(options.tagsPath, "tags.csv");
    ASSERT_EQ(options.ports.size(), 2u);
    EXPECT_EQ(options.ports[0].number, 2);
    EXPECT_EQ(options.ports[1].path, "/b");
    EXPECT_EQ(options.seconds, 12);
    EXPECT_TRUE(options.json);
    EXPECT_TRUE(options.trace);

    ASSERT_TRUE(ParseRunOptions({"line.cfg", "--tags", "t.csv"}, options = {}, error));
    EXPECT_FALSE(options.seconds);
    EXPECT_FALSE(options.json);
    EXPECT_TRUE(options.ports.empty());
}

TEST(RunOptionsTest, WrongCommandLinesSayWhatIsWrong) {
    EXPECT_EQ(RunError({"line.cfg"}), "run needs --tags TAGS");
    EXPECT_EQ(RunError({"--tags", "t.csv"}), "run takes one configuration file");
    EXPECT_EQ(RunError({"a.cfg", "b.cfg", "--tags", "t.csv"}), "run takes one configuration file");
    EXPECT_EQ(RunError({"a.cfg", "--tags"}), "--tags needs a value (TAGS)");
    EXPECT_EQ(RunError({"a.cfg", "--tags", "t.csv", "--yaml"}), "unknown option --yaml");
    EXPECT_NE(RunError({"a.cfg", "--tags", "t.csv", "--port", "COM0=x"}).find("COMn=PATH"),
              std::string::npos);
    for (const char* seconds : {"-1", "x", "", "604801", "1.5"}) {
        EXPECT_EQ(RunError({"a.cfg", "--tags", "t.csv", "--seconds", seconds}),
                  "--seconds must be a whole number from 0 to 604800")
            << seconds;
    }
}
