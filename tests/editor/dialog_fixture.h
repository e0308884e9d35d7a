// The editor's classes run directly over a document of the test's own, on the headless
// window system, with the module's resources on the resource chain. The settings dialog
// being run is reachable from the script's steps.
#pragma once

#include "config/vfda_drv_doc.h"
#include "editor/settings_dialog.h"
#include "editor_steps.h"
#include "host_libraries.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace editor_test {

// Puts the module's string table, dialogs and bitmap on the resource chain for the process.
void RegisterEditorResources();

class EditorDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterEditorResources(); }
    void SetUp() override {
        previous_ = ui::SetWindowSystem(&ui_);
        document_.SetPath(folder_.File("LINE1.cfg"));
    }
    void TearDown() override { ui::SetWindowSystem(previous_); }

    // Runs the settings dialog over the document; its saved flag.
    int RunSettings() {
        CSettingsDialog dialog(&document_);
        dialog_ = &dialog;
        dialog.DoModal();
        dialog_ = nullptr;
        lastDirty_ = dialog.DirtyFlag();
        return dialog.SavedFlag();
    }

    CStationInfo* AddToDocument(const std::string& name, int32_t number,
                                const std::string& description = "", int32_t model = 0) {
        auto station = std::make_unique<CStationInfo>();
        station->m_name = name;
        station->m_stationNumber = number;
        station->m_description = description;
        station->m_modelIndex = model;
        CStationInfo* added = station.get();
        document_.AddStation(std::move(station));
        return added;
    }

    std::vector<int32_t> HostCodes() const {
        std::vector<int32_t> codes;
        for (const auto& box : host_.MessageBoxes()) {
            codes.push_back(box.code);
        }
        return codes;
    }

    // A step that calls the running settings dialog.
    HeadlessWindowSystem::Step OnDialog(std::function<void(CSettingsDialog&)> operation) {
        return [this, operation](HeadlessWindowSystem&) {
            ASSERT_NE(dialog_, nullptr);
            operation(*dialog_);
        };
    }

    hostkit::HostLibraries host_; // receives the host's message calls
    HeadlessWindowSystem ui_;
    ui::WindowSystem* previous_ = nullptr;
    testing_support::TempFolder folder_;
    CVfdaDrvDoc document_;
    CSettingsDialog* dialog_ = nullptr;
    int lastDirty_ = -1;
};

} // namespace editor_test
