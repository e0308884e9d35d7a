// Bad input at every door of the driver, through its entry table: configuration files cut
// short, spoilt byte by byte or lying about what follows; tag addresses and device strings
// of any length and any bytes; station names with '%' and long texts in every message;
// values no drive word can hold; and a save that cannot be written.
#include "driver_fixture.h"

#include "config/vfda_drv_doc.h"
#include "host_link/message_log.h"
#include "resources/texts.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <limits>

using namespace fault_testing;
using testing_support::Bytes;

namespace {

class BadInput : public DriverFixture {
protected:
    // A configuration with CP949 descriptions, '%' in a name and the extreme numbers.
    Bytes SampleFile() {
        CVfdaDrvDoc document;
        for (int number : {0, 5, 31}) {
            auto station = std::make_unique<CStationInfo>();
            station->m_name = number == 5 ? "%s%n%d" : "S" + std::to_string(number);
            station->m_description = "\xB1\xDE\xBC\xF6 %s " + std::to_string(number);
            station->m_stationNumber = number;
            station->m_modelIndex = number % 23;
            document.AddStation(std::move(station));
        }
        document.SerialPort().m_portIndex = 35;
        document.SetPath(folder_.File("full.cfg"));
        EXPECT_TRUE(document.SaveFile());
        return testing_support::ReadBytes(document.Path());
    }

    int32_t OpenBytes(const Bytes& bytes) {
        const std::string path = folder_.File("bad.cfg");
        testing_support::WriteBytes(path, bytes);
        return Slot<drv::OpenFn>(drv::kOpen)(path.c_str());
    }

    static constexpr int kCannotOpenFile = 5;
};

TEST_F(BadInput, AConfigurationCutAtEveryOffsetIsRefusedWithMessage5) {
    const Bytes whole = SampleFile();
    ASSERT_GT(whole.size(), 150u);
    for (size_t length = 0; length < whole.size(); ++length) {
        ASSERT_EQ(OpenBytes(Bytes(whole.begin(), whole.begin() + static_cast<long>(length))), -1)
            << "cut at " << length;
    }
    EXPECT_EQ(host_->EventLog().size(), whole.size()) << "one message 5 for each";
    EXPECT_EQ(LogCount(Line(kCannotOpenFile, folder_.File("bad.cfg").c_str())), whole.size());
    EXPECT_GE(OpenBytes(whole), 0);
}

// Each byte in turn replaced by values that break counts, lengths, tags and schemas: the
// file opens or is refused, and nothing is read outside it (the sanitizer builds watch).
TEST_F(BadInput, EveryByteSpoiltOpensOrIsRefused) {
    const Bytes whole = SampleFile();
    size_t refused = 0;
    for (size_t at = 0; at < whole.size(); ++at) {
        for (const uint8_t value : {uint8_t{0x00}, uint8_t{0xFF}}) {
            Bytes spoilt = whole;
            spoilt[at] = value;
            refused += OpenBytes(spoilt) < 0 ? 1 : 0;
        }
    }
    EXPECT_GT(refused, 0u);
}

// The class record of the first station and what may stand in its place: a null object,
// back references to what was never read, big object tags, other class names and schemas.
TEST_F(BadInput, StrangeObjectTagsAndClassRecordsAreRefused) {
    CVfdaDrvDoc document;
    auto station = std::make_unique<CStationInfo>();
    station->m_name = "P1";
    document.AddStation(std::move(station));
    document.SetPath(folder_.File("one.cfg"));
    ASSERT_TRUE(document.SaveFile());
    const Bytes good = testing_support::ReadBytes(document.Path());
    Bytes record = {0xFF, 0xFF, 0x01, 0x00, 0x0C, 0x00};
    testing_support::Append(record, "CStationInfo");
    const auto found = std::search(good.begin(), good.end(), record.begin(), record.end());
    ASSERT_NE(found, good.end());
    const auto at = found - good.begin();

    auto with = [&](std::initializer_list<uint8_t> bytes) {
        Bytes copy = good;
        std::copy(bytes.begin(), bytes.end(), copy.begin() + at);
        return copy;
    };
    std::vector<uint32_t> tags;
    for (const auto& [from, to, step] : std::initializer_list<std::array<uint32_t, 3>>{
             {0, 0x20, 1},
             {0x21, 0x7FE0, 0x1FF},
             {0x7FE1, 0x8040, 1},
             {0x8041, 0xFFC0, 0x1FF},
             {0xFFC1, 0xFFFE, 1}}) { // 0xFFFF, a new class record, is the good file
        for (uint32_t tag = from; tag <= to; tag += step) {
            tags.push_back(tag);
        }
    }
    for (const uint32_t tag : tags) {
        EXPECT_EQ(OpenBytes(with({static_cast<uint8_t>(tag), static_cast<uint8_t>(tag >> 8)})), -1)
            << "tag " << tag;
    }
    // A big object tag with 32-bit indexes of every size.
    for (const uint32_t index :
         {0u, 1u, 2u, 0x7FFFu, 0x8000u, 0x7FFFFFFFu, 0x80000001u, 0xFFFFFFFFu}) {
        EXPECT_EQ(OpenBytes(with(
                      {0xFF, 0x7F, static_cast<uint8_t>(index), static_cast<uint8_t>(index >> 8),
                       static_cast<uint8_t>(index >> 16), static_cast<uint8_t>(index >> 24)})),
                  -1)
            << "big tag " << index;
    }
    for (uint8_t schema : {0, 2, 0xFF}) {
        EXPECT_EQ(OpenBytes(with({0xFF, 0xFF, schema, 0x00})), -1) << "schema " << int{schema};
    }
    for (uint8_t length : {0, 1, 11, 13, 0x40, 0xFF}) {
        EXPECT_EQ(OpenBytes(with({0xFF, 0xFF, 0x01, 0x00, length, 0x00})), -1)
            << "class name of " << int{length};
    }
    EXPECT_EQ(OpenBytes(with({0xFF, 0xFF, 0x01, 0x00, 0x0C, 0x00, 'C', 'V', 'f', 'd', 'a', 'D', 'r',
                              'v', 'D', 'o', 'c', ' '})),
              -1)
        << "another class of the module";
    EXPECT_GE(OpenBytes(good), 0);
}

TEST_F(BadInput, AddressesAndDevicesOfAnyLengthAndBytesAreJudgedSafely) {
    ASSERT_GE(OpenInstance(), 0);
    ASSERT_EQ(InitComm(), 0);
    uint32_t id = 1;
    for (const size_t length : {0u, 1u, 48u, 49u, 50u, 255u, 256u, 4096u, 100000u}) {
        const std::string filler(length, '9');
        for (const std::string& address :
             {"P" + filler, "D3." + filler, filler + "P1", "%s%n" + filler}) {
            const int32_t handle = Tag(id, "T" + std::to_string(id), "PUMP1", address.c_str());
            const bool accepted = handle >= 0;
            // Only the first 49 characters count, and any run of nines past one is beyond P80.
            EXPECT_EQ(accepted, address == "P" || address == "P9" || address == "P1")
                << address.substr(0, 60);
            ++id;
        }
        const std::string device = "LINE." + std::string(length, 'x');
        EXPECT_EQ(Tag(id, "T", device.c_str(), "D0"), -1);
        ++id;
    }
    // Every byte value in an address and a device string, the text after it included.
    for (int byte = 1; byte < 256; ++byte) {
        const std::string text = std::string("D") + static_cast<char>(byte) + "1";
        Tag(id++, "B", "PUMP1", text.c_str());
        const std::string device = std::string("X") + static_cast<char>(byte) + "PUMP1";
        Tag(id++, "B", device.c_str(), "D1");
    }
    // Refusals log the texts as given, '%' and all.
    EXPECT_GE(LogLinesWith("%s%n9").size(), 1u);
    EXPECT_EQ(LogLinesWith(std::string(100000, 'x')).size(), 1u);
    BuildPollMasks();
    Start();
    EXPECT_TRUE(WaitFor([&] { return Stats("PUMP1").reads >= 2; })) << "and the line runs";
}

// Station names with '%' and texts of several kilobytes in every message, logged as they
// are.
TEST_F(BadInput, PercentSignsAndLongTextsInEveryMessage) {
    const std::string name = "%s%n%d%%%x" + std::string(3000, 'N');
    for (int32_t message = 0; message <= 17; ++message) {
        EXPECT_EQ(driver::LogMessage(message, 1, name.c_str(), name.c_str()), -message);
    }
    const auto lines = LogTexts();
    ASSERT_EQ(lines.size(), 18u);
    for (int32_t message = 0; message <= 17; ++message) {
        const char* format = resources::MessageFormat(message);
        ASSERT_NE(format, nullptr) << "message " << message;
        if (std::string(format).find("%s") != std::string::npos) {
            EXPECT_NE(lines[message].find(name), std::string::npos) << "message " << message;
        }
    }
    host_->Clear();

    ASSERT_GE(OpenInstance({{name, 1}, {"PUMP2", 2}}), 0);
    ASSERT_EQ(InitComm(), 0);
    ASSERT_GE(Tag(1, name, name.c_str(), "D0"), 0);
    EXPECT_EQ(Tag(2, name, name.c_str(), "Q9"), -1) << "message 6 names the tag";
    EXPECT_EQ(Tag(3, name, ("." + name + "?").c_str(), "D0"), -1) << "message 7";
    BuildPollMasks();
    line_->Drives().SetFault(1, sim::FaultKind::Refused, 5);
    Start();
    ASSERT_TRUE(WaitFor([&] { return LogLinesWith(name).size() >= 2 + 5 + 2; }));
    EXPECT_EQ(LogCount(Line(12, name.c_str())), 5u);
    EXPECT_EQ(LogCount(Line(14, name.c_str())), 1u);
    EXPECT_EQ(LogCount(Line(15, name.c_str())), 1u);
    EXPECT_NE(Stats(name.c_str()).status, -1) << "statistics find it by that name";
}

// Values no 16-bit word can hold are written as defined words: not a number and the
// infinities as 0, others truncated and wrapped modulo 65536.
TEST_F(BadInput, NotANumberInfinitiesAndHugeValuesWriteDefinedWords) {
    ASSERT_GE(OpenInstance(), 0);
    ASSERT_EQ(InitComm(), 0);
    const int32_t first = Tag(1, "FIRST", "PUMP1", "C1");
    const int32_t accel = Tag(2, "ACC", "PUMP1", "P10"); // one decimal place
    const int32_t source = Tag(3, "SRC", "PUMP1", "P0"); // whole numbers
    const int32_t frequency = Tag(4, "F", "PUMP1", "D0");
    const int32_t command = Tag(5, "CMD", "PUMP1", "D3");
    BuildPollMasks();
    Start();
    const double kNaN = std::numeric_limits<double>::quiet_NaN();
    const double kInf = std::numeric_limits<double>::infinity();
    const double kDenormal = std::numeric_limits<double>::denorm_min();
    const struct {
        double value;
        double shown;
    } kWords[] = {
        // Doubles from 2^69 on are whole multiples of 65536.
        {kNaN, 0},
        {kInf, 0},
        {-kInf, 0},
        {1e300, 0},
        {-1e300, 0},
        {4294967301.0, 5},
        {-1.0, 65535},
        {-0.0, 0},
        {kDenormal, 0},
        {65535.9, 65535},
        {-65536.5, 0},
        {2147483648.0, 0},
        {9.2233720368547758e18, 0},
        {-4294967297.0, 65535},
    };
    for (const auto& word : kWords) {
        ASSERT_EQ(Write(first, word.value), 0);
        EXPECT_EQ(Latest(1), word.shown) << word.value;
    }
    // A run command carries no wrapped word: the drive would run something else.
    for (const double value : {kNaN, -kInf, 1e300, -1e19, 6553.5}) {
        EXPECT_EQ(Write(accel, value), 0);
        EXPECT_EQ(Write(source, value), 0);
        EXPECT_EQ(Write(frequency, value), -17) << value;
        EXPECT_EQ(Write(command, value), -17) << value;
    }
    ASSERT_TRUE(WaitFor([&] { return line_->Counters(1).writes >= 10; }))
        << "every write went out as a frame the drive could read";
    EXPECT_EQ(line_->Counters(1).commands, 0u);
    EXPECT_EQ(Stats("PUMP1").writes, 10) << "only writes that went on the line count";
    EXPECT_EQ(line_->Drives().FramesForAbsentStations(), 0u);
}

// A save whose writer lock cannot be taken (its lock file's name is a link into a regular
// file, which no permission, root's included, makes a folder) keeps the previous file and
// shows 2005.
TEST_F(BadInput, ASaveThatCannotBeWrittenKeepsTheOldFileAndShows2005) {
    CVfdaDrvDoc document;
    document.SetPath(folder_.File("line.cfg"));
    ASSERT_TRUE(document.SaveFile());
    const Bytes before = testing_support::ReadBytes(document.Path());
    testing_support::WriteText(folder_.File("plain-file"), "not a folder");
    std::filesystem::remove(document.Path() + ".lock");
    std::filesystem::create_symlink(folder_.Path() / "plain-file" / "line.cfg.lock",
                                    document.Path() + ".lock");
    auto station = std::make_unique<CStationInfo>();
    station->m_name = "NEW";
    document.AddStation(std::move(station));
    EXPECT_FALSE(document.SaveFile());
    EXPECT_EQ(testing_support::ReadBytes(document.Path()), before);

    CVfdaDrvDoc nowhere;
    nowhere.SetPath(folder_.File("plain-file") + "/line.cfg");
    EXPECT_FALSE(nowhere.SaveFile());
    EXPECT_EQ(testing_support::ReadText(folder_.File("plain-file")), "not a folder");

    const auto boxes = host_->MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].code, 2005);
    EXPECT_EQ(boxes[0].text, document.Path());
    EXPECT_EQ(boxes[1].code, 2005);
}

} // namespace
