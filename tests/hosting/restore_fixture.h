// The restore tests' drives: PUMP1 saved to a file and then replaced, and the frames that
// reached the drives read back as parameter numbers.
#pragma once

#include "parameter_fixture.h"

#include <fstream>

namespace testing_support {

class RestoreTest : public ParameterCommandTest {
protected:
    // PUMP1 set up the way a line runs it, saved to a file; then the drive is replaced by
    // one with factory settings (P76 = 10 restores them).
    std::string SaveThenReplace() {
        EXPECT_EQ(drives_.SetWord(1, sim::Area::Parameter, 10, 75), sim::Outcome::Ok);
        EXPECT_EQ(drives_.SetWord(1, sim::Area::Parameter, 11, 250), sim::Outcome::Ok);
        EXPECT_EQ(drives_.SetWord(1, sim::Area::Parameter, 1, 2), sim::Outcome::Ok);
        const std::string file = BackupOfDrive(1, "PUMP1", folder_.File("pump1.json"));
        EXPECT_EQ(drives_.SetWord(1, sim::Area::Parameter, 76, 10), sim::Outcome::Ok);
        EXPECT_EQ(DriveParameter(1, 10), 100);
        return file;
    }

    // The parameter numbers of the frames of letter 'P' the drives received, in order.
    std::vector<int> WrittenParameters() {
        std::vector<int> numbers;
        for (const std::string& frame : line_->Requests()) {
            if (frame.size() >= 7 && frame[0] == 'P') {
                numbers.push_back(std::stoi(frame.substr(5, 2)));
            }
        }
        return numbers;
    }

    // `text` with its one `from` replaced by `to`.
    static std::string& Replace(std::string& text, const std::string& from, const std::string& to) {
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    }

    static std::vector<JsonValue> Events(const std::vector<JsonValue>& lines, const char* event) {
        std::vector<JsonValue> found;
        for (const JsonValue& line : lines) {
            if (line.Find("event")->text == event) {
                found.push_back(line);
            }
        }
        return found;
    }
};

} // namespace testing_support
