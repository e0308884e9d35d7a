// Tab order, groups and the first focus of the window model.
#include "test_templates.h"
#include "test_window.h"
#include "toolkit/ui/model/window_model.h"

#include <gtest/gtest.h>

namespace uitest {
namespace {

using ui::ModelWindow;
using ui::WindowModel;

struct OpenMain {
    WindowModel model;
    TestWindow dialog, treePage, portPage;
    ModelWindow* window = nullptr;
    ModelWindow* pages[2] = {nullptr, nullptr};

    OpenMain() {
        dialog.onInit = [this](ui::WindowHandle self) {
            auto* main = static_cast<ModelWindow*>(self);
            ModelWindow* tab = model.FindControl(main, kTab);
            pages[0] = model.CreatePage(treePage, {&TreePage(), nullptr}, tab);
            pages[1] = model.CreatePage(portPage, {&PortPage(), nullptr}, tab);
            model.Show(pages[1], true);
        };
        window = model.OpenDialog(dialog, {&MainDialog(), nullptr});
    }
    ~OpenMain() { model.CloseDialog(window); }

    std::vector<int> Walk(bool forward, int steps) {
        std::vector<int> ids;
        ModelWindow* at = model.Focus();
        for (int step = 0; step < steps; ++step) {
            at = model.NextTabStop(window, at, forward);
            ids.push_back(at != nullptr ? at->id : 0);
        }
        return ids;
    }
};

TEST(ModelFocus, TabWalksTemplateOrderWithTheVisiblePageAfterTheTabControl) {
    OpenMain main;
    ASSERT_NE(main.model.Focus(), nullptr);
    EXPECT_EQ(main.model.Focus()->id, kTab); // the first tab stop
    // The disabled data-bits group is skipped; the parity group is one stop.
    EXPECT_EQ(main.Walk(true, 8), (std::vector<int>{kPort, kBaud, kParityNone, kRtsCts, kEditButton,
                                                    kDeleteButton, ui::kIdCancel, kTab}));
    EXPECT_EQ(main.Walk(false, 3), (std::vector<int>{ui::kIdCancel, kDeleteButton, kEditButton}));
}

TEST(ModelFocus, ARadioGroupIsEnteredAtItsCheckedButton) {
    OpenMain main;
    main.model.SetCheck(main.model.FindControl(main.window, kParityOdd), 1);
    main.model.SetFocus(main.model.FindControl(main.window, kBaud));
    EXPECT_EQ(main.Walk(true, 2), (std::vector<int>{kParityOdd, kRtsCts}));
    main.model.SetFocus(main.model.FindControl(main.window, kRtsCts));
    EXPECT_EQ(main.Walk(false, 2), (std::vector<int>{kParityOdd, kBaud}));
}

TEST(ModelFocus, HidingThePageTakesItsControlsOutOfTheOrder) {
    OpenMain main;
    main.model.Show(main.pages[1], false);
    main.model.Show(main.pages[0], true);
    main.model.SetFocus(main.model.FindControl(main.window, kTab));
    EXPECT_EQ(main.Walk(true, 2), (std::vector<int>{kTree, kEditButton}));
}

TEST(ModelFocus, DisabledControlsAreSkipped) {
    OpenMain main;
    main.model.FindControl(main.window, kEditButton)->enabled = false;
    main.model.SetFocus(main.model.FindControl(main.window, kRtsCts));
    EXPECT_EQ(main.Walk(true, 1), (std::vector<int>{kDeleteButton}));
}

TEST(ModelGroups, AGroupRunsFromItsStartToTheNextStart) {
    OpenMain main;
    auto ids = [&](int id) {
        std::vector<int> out;
        for (ModelWindow* member : main.model.GroupOf(main.model.FindControl(main.window, id))) {
            out.push_back(member->id);
        }
        return out;
    };
    EXPECT_EQ(ids(kParityEven), (std::vector<int>{kParityNone, kParityEven, kParityOdd}));
    EXPECT_EQ(ids(kBits8), (std::vector<int>{kBits7, kBits8}));
}

TEST(ModelLayout, APageSitsInTheTabControlsDisplayAreaAndBuddiesArePreceding) {
    OpenMain main;
    ModelWindow* tab = main.model.FindControl(main.window, kTab);
    ModelWindow* port = main.model.FindControl(main.window, kPort);
    EXPECT_GT(port->rect.x, tab->rect.x + 46 - 1);
    EXPECT_GT(port->rect.y, tab->rect.y + 12);
    EXPECT_LT(port->rect.y, tab->rect.y + tab->rect.height);

    TestWindow entry;
    ModelWindow* dialog = main.model.OpenDialog(entry, {&EntryDialog(), nullptr});
    ModelWindow* spin = main.model.FindControl(dialog, kSpin);
    EXPECT_EQ(spin->buddy, main.model.FindControl(dialog, kNumber));
    EXPECT_EQ(main.model.UpDownOf(spin->buddy), spin);
    EXPECT_EQ(main.model.ModalDepth(), 2);
    main.model.CloseDialog(dialog);
    EXPECT_EQ(main.model.ModalDepth(), 1);
    EXPECT_EQ(entry.destroyed, 1);
}

TEST(ModelText, UpperCaseSkipsTrailBytes) {
    EXPECT_EQ(WindowModel::UpperCaseCp949("ab\xb0\xa1z\x81zq"), "AB\xb0\xa1Z\x81zQ");
    EXPECT_EQ(WindowModel::UpperCaseCp949("x\x81"), "X\x81"); // a lead byte at the end
}

} // namespace
} // namespace uitest
