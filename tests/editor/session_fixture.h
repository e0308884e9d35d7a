// The editor as a host runs it: the module loaded by file name with the host's stand-in
// libraries, DrvEditConfig on a configuration file, and the headless window system playing
// the user. Configuration files are written and read with the document class.
#pragma once

#include "config/vfda_drv_doc.h"
#include "editor_steps.h"
#include "module_suite.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace editor_test {

class EditorSessionTest : public testing_support::ModuleSuite {
protected:
    void SetUp() override {
        host_->Clear();
        previous_ = ui::SetWindowSystem(&ui_);
    }
    void TearDown() override { ui::SetWindowSystem(previous_); }

    // DrvEditConfig on the path: the editor's result.
    int32_t Edit(const std::string& path) { return module_->EditConfig(path.c_str()); }

    // The codes of the host's message calls (CVemorError::ErrMsg), in order.
    std::vector<int32_t> HostCodes() const {
        std::vector<int32_t> codes;
        for (const auto& box : host_->MessageBoxes()) {
            codes.push_back(box.code);
        }
        return codes;
    }

    static std::unique_ptr<CStationInfo> Station(const std::string& name, int32_t number,
                                                 const std::string& description = "",
                                                 int32_t model = 0) {
        auto station = std::make_unique<CStationInfo>();
        station->m_name = name;
        station->m_stationNumber = number;
        station->m_description = description;
        station->m_modelIndex = model;
        return station;
    }

    // A configuration file with these stations and serial settings.
    static void WriteConfig(const std::string& path,
                            std::vector<std::unique_ptr<CStationInfo>> stations,
                            const CSerialPort& port = CSerialPort()) {
        CVfdaDrvDoc document;
        document.SetPath(path);
        document.SerialPort() = port;
        for (auto& station : stations) {
            document.AddStation(std::move(station));
        }
        ASSERT_TRUE(document.SaveFile());
    }

    static std::unique_ptr<CVfdaDrvDoc> ReadConfig(const std::string& path) {
        auto document = std::make_unique<CVfdaDrvDoc>();
        EXPECT_EQ(document->LoadFile(path), 1) << path;
        return document;
    }

    static std::vector<std::string> StationNames(const CVfdaDrvDoc& document) {
        std::vector<std::string> names;
        for (const CStationInfo* station : document.Stations()) {
            names.push_back(station->m_name);
        }
        return names;
    }

    HeadlessWindowSystem ui_;
    ui::WindowSystem* previous_ = nullptr;
    testing_support::TempFolder folder_;
};

} // namespace editor_test
