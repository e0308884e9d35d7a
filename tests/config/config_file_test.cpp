// The configuration file, byte for byte, and loading of files that are damaged or lie.
#include "config/vfda_drv_doc.h"
#include "host_libraries.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace testing_support;

namespace {

Bytes Header() {
    Bytes bytes;
    Append(bytes, "VMHD");
    AppendU32(bytes, 3);
    Append(bytes, {11});
    Append(bytes, "VfdaDrv.dll");
    return bytes;
}

Bytes DefaultSettings() {
    Bytes bytes;
    for (const uint32_t value : {0u, 2u, 2u, 1u, 0u, 0u}) {
        AppendU32(bytes, value);
    }
    return bytes;
}

Bytes StationClassRecord() {
    Bytes bytes = {0xFF, 0xFF, 0x01, 0x00, 0x0C, 0x00};
    Append(bytes, "CStationInfo");
    return bytes;
}

std::unique_ptr<CStationInfo> Station(const std::string& name, int32_t number, int32_t model = 0,
                                      const std::string& description = "") {
    auto station = std::make_unique<CStationInfo>();
    station->m_name = name;
    station->m_stationNumber = number;
    station->m_modelIndex = model;
    station->m_description = description;
    return station;
}

class ConfigFileTest : public ::testing::Test {
protected:
    Bytes Save(CVfdaDrvDoc& document) {
        document.SetPath(path_);
        EXPECT_TRUE(document.SaveFile());
        return ReadBytes(path_);
    }

    int LoadBytes(const Bytes& bytes, CVfdaDrvDoc& document) {
        WriteBytes(path_, bytes);
        return document.LoadFile(path_);
    }

    int LoadBytes(const Bytes& bytes) {
        CVfdaDrvDoc document;
        return LoadBytes(bytes, document);
    }

    TempFolder folder_;
    std::string path_ = folder_.File("line.cfg");
    hostkit::HostLibraries host_; // receives the host's message boxes
};

Bytes TwoStationFile() {
    Bytes bytes = Header();
    Append(bytes, {0x02, 0x00, 0x02, 'P', '1', 0x05, 'P', 'U', 'M', 'P', '2'});
    Append(bytes, DefaultSettings());
    Append(bytes, {0x02, 0x00});
    Append(bytes, StationClassRecord());
    Append(bytes, {0x02, 'P', '1', 0x00});
    AppendU32(bytes, 3);
    AppendU32(bytes, 0);
    AppendU16(bytes, 0x8001);
    Append(bytes, {0x05, 'P', 'U', 'M', 'P', '2', 0x06});
    Append(bytes, "line A");
    AppendU32(bytes, 17);
    AppendU32(bytes, 4);
    return bytes;
}

} // namespace

TEST_F(ConfigFileTest, DefaultDocumentIsHeaderSettingsAndTwoEmptyLists) {
    CVfdaDrvDoc document;
    Bytes expected = Header();
    Append(expected, {0x00, 0x00});
    Append(expected, DefaultSettings());
    Append(expected, {0x00, 0x00});
    EXPECT_EQ(Hex(Save(document)), Hex(expected));
}

TEST_F(ConfigFileTest, OneStationP1) {
    CVfdaDrvDoc document;
    document.AddStation(Station("P1", 3));
    Bytes expected = Header();
    Append(expected, {0x01, 0x00, 0x02, 0x50, 0x31});
    Append(expected, DefaultSettings());
    Append(expected, {0x01, 0x00});
    Append(expected, StationClassRecord());
    Append(expected, {0x02, 0x50, 0x31, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    EXPECT_EQ(Hex(Save(document)), Hex(expected));
}

TEST_F(ConfigFileTest, SecondStationRefersToTheClassRecordAndTheNameListFollowsTheStations) {
    CVfdaDrvDoc document;
    document.AddStation(Station("P1", 3));
    document.AddStation(Station("PUMP2", 17, 4, "line A"));
    EXPECT_EQ(Hex(Save(document)), Hex(TwoStationFile()));
    EXPECT_EQ(document.StationNames(), (std::vector<std::string>{"P1", "PUMP2"}));
}

TEST_F(ConfigFileTest, NamesOf254And255Bytes) {
    for (const size_t length : {254u, 255u}) {
        CVfdaDrvDoc document;
        document.AddStation(Station(std::string(length, 'N'), 1));
        const Bytes bytes = Save(document);
        const size_t at = Header().size(); // the name list: count, then the first name
        const Bytes prefix(bytes.begin() + static_cast<long>(at) + 2,
                           bytes.begin() + static_cast<long>(at) + (length == 254 ? 3 : 5));
        EXPECT_EQ(Hex(prefix), length == 254 ? "FE " : "FF FF 00 ");
        CVfdaDrvDoc back;
        ASSERT_EQ(back.LoadFile(path_), 1);
        EXPECT_EQ(back.Stations().at(0)->m_name, std::string(length, 'N'));
    }
}

TEST_F(ConfigFileTest, WhatIsWrittenLoadsBackIdentically) {
    CVfdaDrvDoc document;
    document.SerialPort().m_portIndex = 35;
    document.SerialPort().m_baudIndex = 0;
    document.SerialPort().m_options = 0x7FFFFFF3; // unknown option bits survive
    for (int i = 0; i < 32; ++i) {
        document.AddStation(Station("S" + std::to_string(i), i, i % 23, std::string(i * 20, 'd')));
    }
    const Bytes first = Save(document);

    CVfdaDrvDoc back;
    ASSERT_EQ(back.LoadFile(path_), 1);
    ASSERT_EQ(back.Stations().size(), 32u);
    EXPECT_EQ(back.SerialPort().m_portIndex, 35);
    EXPECT_EQ(back.SerialPort().m_options, 0x7FFFFFF3);
    EXPECT_EQ(back.Stations()[31]->m_modelIndex, 31 % 23);
    EXPECT_EQ(back.Stations()[31]->m_description, std::string(620, 'd'));
    EXPECT_EQ(Hex(Save(back)), Hex(first));
}

TEST_F(ConfigFileTest, BytesAfterTheStationListAreIgnored) {
    Bytes bytes = TwoStationFile();
    Append(bytes, "trailing bytes");
    CVfdaDrvDoc document;
    ASSERT_EQ(LoadBytes(bytes, document), 1);
    EXPECT_EQ(document.Stations().size(), 2u);
    EXPECT_EQ(document.Stations()[1]->m_description, "line A");
    EXPECT_EQ(document.Stations()[1]->m_stationNumber, 17);
    EXPECT_EQ(document.Stations()[1]->m_modelIndex, 4);
}

TEST_F(ConfigFileTest, AFileCutAtAnyOffsetFailsToLoad) {
    const Bytes whole = TwoStationFile();
    for (size_t length = 0; length < whole.size(); ++length) {
        EXPECT_EQ(LoadBytes(Bytes(whole.begin(), whole.begin() + static_cast<long>(length))), 0)
            << "cut at " << length;
    }
    EXPECT_EQ(LoadBytes(whole), 1);
}

TEST_F(ConfigFileTest, FilesThatLieOrNameAnotherClassFailToLoad) {
    const Bytes good = TwoStationFile();
    const size_t classAt = Header().size() + 11 + 24 + 2;
    auto patched = [&](size_t at, std::initializer_list<uint8_t> bytes) {
        Bytes copy = good;
        std::copy(bytes.begin(), bytes.end(), copy.begin() + static_cast<long>(at));
        return copy;
    };
    EXPECT_EQ(LoadBytes(patched(0, {'X'})), 0) << "header signature";
    EXPECT_EQ(LoadBytes(patched(classAt + 2, {0x02})), 0) << "schema 2";
    EXPECT_EQ(LoadBytes(patched(classAt + 6 + 11, {'X'})), 0) << "CStationInfX";
    EXPECT_EQ(LoadBytes(patched(classAt + 4, {0x40})), 0) << "a class name of 64 bytes";
    EXPECT_EQ(LoadBytes(patched(Header().size(), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F})), 0)
        << "a name count larger than the file";
    EXPECT_EQ(LoadBytes(patched(Header().size() + 2, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x10})), 0)
        << "a name longer than the file";
    EXPECT_EQ(LoadBytes(patched(classAt, {0x00, 0x00})), 0) << "a null station";
    EXPECT_EQ(LoadBytes(patched(classAt + 18 + 4 + 8, {0x02, 0x00})), 0)
        << "the first station again";
    EXPECT_EQ(LoadBytes(patched(classAt + 18 + 4 + 8, {0xFF, 0x7F})), 0)
        << "a long tag that names no object";
}

TEST_F(ConfigFileTest, MissingFilesAndFoldersFailToLoad) {
    CVfdaDrvDoc document;
    EXPECT_EQ(document.LoadFile(folder_.File("absent.cfg")), 0);
    EXPECT_EQ(document.LoadFile(folder_.Path().string()), 0);
}

TEST_F(ConfigFileTest, AFailedSaveKeepsThePreviousFileAndShows2005) {
    CVfdaDrvDoc document;
    document.AddStation(Station("P1", 3));
    const Bytes before = Save(document);
    // A folder where the writer lock's file belongs: the save cannot take the lock.
    std::filesystem::remove(path_ + ".lock");
    std::filesystem::create_directory(path_ + ".lock");
    document.AddStation(Station("P2", 4));
    EXPECT_FALSE(document.SaveFile());
    EXPECT_EQ(Hex(ReadBytes(path_)), Hex(before));
    const auto boxes = host_.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].code, 2005);
    EXPECT_EQ(boxes[0].flags, 1u);
    EXPECT_EQ(boxes[0].text, path_);
    EXPECT_EQ(document.Stations().size(), 2u) << "the document keeps its content";
}

TEST_F(ConfigFileTest, ASuccessfulSaveLeavesNoTemporaryFile) {
    CVfdaDrvDoc document;
    Save(document);
    Save(document);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"line.cfg", "line.cfg.lock"}))
        << "the file and its writer lock's empty file, nothing else";
    EXPECT_TRUE(host_.MessageBoxes().empty());
}

TEST_F(ConfigFileTest, EditConfigOnANewPathShowsNothingAndOnABadFileShows2002) {
    CVfdaDrvDoc fresh;
    EXPECT_EQ(fresh.EditConfig(folder_.File("new line.cfg")), 0);
    EXPECT_EQ(fresh.Title(), "new line");
    EXPECT_TRUE(fresh.Stations().empty());
    EXPECT_TRUE(host_.MessageBoxes().empty());

    WriteBytes(path_, {'j', 'u', 'n', 'k'});
    CVfdaDrvDoc damaged;
    EXPECT_EQ(damaged.EditConfig(path_), 0);
    const auto boxes = host_.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].code, 2002);
    EXPECT_EQ(boxes[0].flags, 1u);
    EXPECT_EQ(boxes[0].text, path_);
}

TEST(DocumentTitle, IsTheFileNameWithoutFolderAndExtension) {
    EXPECT_EQ(CVfdaDrvDoc::TitleFromPath("C:\\plant\\pumps.cfg"), "pumps");
    EXPECT_EQ(CVfdaDrvDoc::TitleFromPath("/srv/lines.d/line"), "line");
    EXPECT_EQ(CVfdaDrvDoc::TitleFromPath("D:two.dots.cfg"), "two.dots");
    EXPECT_EQ(CVfdaDrvDoc::TitleFromPath("plain"), "plain");
    EXPECT_EQ(CVfdaDrvDoc::TitleFromPath(std::string(300, 'x') + ".cfg"), std::string(255, 'x'));
}

TEST(StationChecks, NamesIgnoreAsciiCaseAndTheEditedStation) {
    CVfdaDrvDoc document;
    document.AddStation(Station("Pump1", 3));
    document.AddStation(Station("\xB9\xB0", 4)); // a Korean name
    CStationInfo* pump = document.Stations()[0];
    EXPECT_EQ(document.ValidateStationName("PUMP1", nullptr), 2701);
    EXPECT_EQ(document.ValidateStationName("pump1", pump), 0);
    EXPECT_EQ(document.ValidateStationName("Pump2", nullptr), 0);
    EXPECT_EQ(document.ValidateStationName("\xB9\xB0", nullptr), 2701);
    EXPECT_EQ(document.ValidateStationName("\xB9\xD0", nullptr), 0) << "bytes above 0x7F exact";
}

TEST(StationChecks, NumbersMustBeFreeAndWithin0To31) {
    CVfdaDrvDoc document;
    document.AddStation(Station("A", 3));
    CStationInfo* a = document.Stations()[0];
    EXPECT_EQ(document.ValidateStationNumber(31, nullptr), 0);
    EXPECT_EQ(document.ValidateStationNumber(0, nullptr), 0);
    EXPECT_EQ(document.ValidateStationNumber(32, nullptr), 2707);
    EXPECT_EQ(document.ValidateStationNumber(-1, nullptr), 2707);
    EXPECT_EQ(document.ValidateStationNumber(3, nullptr), 2702);
    EXPECT_EQ(document.ValidateStationNumber(3, a), 0);
}

TEST(StationRecord, DisplayTextAndInfo) {
    auto station = Station("PUMP1", 3, 0, "line A");
    EXPECT_EQ(station->FormatDisplayText(), "PUMP1 (03\xB1\xB9) : line A");
    station->m_stationNumber = 7;
    std::string number;
    std::string description;
    station->GetInfo(number, description);
    EXPECT_EQ(number, "07");
    EXPECT_EQ(description, "line A");
}

TEST(StationRecord, ResetRuntimeEnablesAndClearsEverything) {
    CStationInfo station;
    station.m_readFailures = 4;
    station.m_consecutiveFailures = 5;
    station.m_lastFailureTime = 1234;
    station.ResetRuntime();
    EXPECT_EQ(station.m_enabled, 1);
    EXPECT_EQ(station.m_readFailures, 0);
    EXPECT_EQ(station.m_consecutiveFailures, 0);
    EXPECT_EQ(station.m_lastFailureTime, 0);
    EXPECT_EQ(station.LinkStatus(), 0);
}
