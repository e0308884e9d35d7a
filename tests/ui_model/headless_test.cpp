// The headless window system over the window model: what the program sets, what the user
// does, which window hears about it, and how the script drives the modal loops.
#include "test_templates.h"
#include "test_window.h"
#include "toolkit/ui/headless/headless_window_system.h"

#include <gtest/gtest.h>

namespace uitest {
namespace {

using ui::EventCode;
using ui::EventKind;
using ui::HeadlessWindowSystem;

// The main dialog with its two pages on the tab control, switched as a tab sheet does.
struct MainWindows {
    HeadlessWindowSystem& system;
    TestWindow dialog;
    TestWindow treePage;
    TestWindow portPage;
    ui::WindowHandle tree = nullptr;
    ui::WindowHandle pages[2] = {nullptr, nullptr};

    explicit MainWindows(HeadlessWindowSystem& windows) : system(windows) {
        dialog.onInit = [this](ui::WindowHandle self) {
            ui::WindowHandle tab = system.GetControl(self, kTab);
            pages[0] = system.CreatePage(treePage, {&TreePage(), nullptr}, tab);
            pages[1] = system.CreatePage(portPage, {&PortPage(), nullptr}, tab);
            system.InsertTab(tab, 0, "Tree");
            system.InsertTab(tab, 1, "Port");
            tree = system.GetControl(pages[0], kTree);
            system.Show(pages[0], true);
        };
        dialog.onEvent = [this](const ui::Event& event) -> intptr_t {
            if (event.code == EventCode::TabSelChange) {
                const int current = system.GetCurTab(system.GetControl(dialog.handle, kTab));
                system.Show(pages[1 - current], false);
                system.Show(pages[current], true);
            }
            if (event.kind == EventKind::Command && event.controlId == ui::kIdCancel) {
                system.EndModal(dialog.handle, ui::kIdCancel);
            }
            return 0;
        };
    }
    intptr_t Run() { return system.RunModal(dialog, {&MainDialog(), nullptr}, nullptr); }
};

// The entry dialog; OK and cancel end it.
struct EntryWindow {
    HeadlessWindowSystem& system;
    TestWindow window;

    explicit EntryWindow(HeadlessWindowSystem& windows) : system(windows) {
        window.onInit = [this](ui::WindowHandle self) {
            system.SetRange(system.GetControl(self, kSpin), 0, 31);
        };
        window.onEvent = [this](const ui::Event& event) -> intptr_t {
            if (event.kind == EventKind::Command &&
                (event.controlId == ui::kIdOk || event.controlId == ui::kIdCancel)) {
                system.EndModal(window.handle, event.controlId);
            }
            return 0;
        };
    }
    intptr_t Run() { return system.RunModal(window, {&EntryDialog(), nullptr}, nullptr); }
};

TEST(HeadlessScript, RunsStepsInOrderAndCancelsWhenTheyRunOut) {
    HeadlessWindowSystem system;
    MainWindows main(system);
    std::vector<int> seen;
    system.Then([&](HeadlessWindowSystem& s) { seen.push_back(s.ActiveTemplateId()); });
    system.Then([&](HeadlessWindowSystem& s) { seen.push_back(s.ModalDepth()); });
    EXPECT_EQ(main.Run(), ui::kIdCancel);
    EXPECT_EQ(seen, (std::vector<int>{1, 1}));
    EXPECT_TRUE(system.RanOutOfSteps());
    EXPECT_EQ(system.ModalDepth(), 0);
    // Pages go before their dialog.
    EXPECT_EQ(main.treePage.destroyed, 1);
    EXPECT_EQ(main.portPage.destroyed, 1);
    EXPECT_EQ(main.dialog.destroyed, 1);
}

TEST(HeadlessScript, ADialogThatWillNotCloseIsEndedWithCancel) {
    HeadlessWindowSystem system;
    TestWindow stubborn; // ignores every command
    EXPECT_EQ(system.RunModal(stubborn, {&EntryDialog(), nullptr}, nullptr), ui::kIdCancel);
    EXPECT_TRUE(system.RanOutOfSteps());
    ASSERT_EQ(stubborn.Heard(EventCode::Clicked).size(), 1u);
    EXPECT_EQ(stubborn.Heard(EventCode::Clicked)[0].controlId, ui::kIdCancel);
}

TEST(HeadlessScript, AMissingTemplateFailsWithMinusOne) {
    HeadlessWindowSystem system;
    TestWindow window;
    EXPECT_EQ(system.RunModal(window, {nullptr, nullptr}, nullptr), -1);
    EXPECT_EQ(window.handle, nullptr);
}

TEST(HeadlessScript, EndingInsideInitialisationRunsNoStep) {
    HeadlessWindowSystem system;
    TestWindow window;
    window.onInit = [&](ui::WindowHandle self) { system.EndModal(self, 42); };
    system.Then([](HeadlessWindowSystem&) { FAIL() << "a step ran"; });
    EXPECT_EQ(system.RunModal(window, {&EntryDialog(), nullptr}, nullptr), 42);
    EXPECT_EQ(system.StepsLeft(), 1u);
}

TEST(HeadlessScript, NestedDialogsTakeTheNextStepsAndFocusComesBack) {
    HeadlessWindowSystem system;
    MainWindows main(system);
    EntryWindow entry(system);
    intptr_t entryResult = 0;
    main.dialog.onEvent = [&, base = main.dialog.onEvent](const ui::Event& event) {
        if (event.controlId == kEditButton) {
            entryResult = entry.Run();
        }
        return base(event);
    };
    int depthInside = 0;
    int focusAfter = 0;
    system.Then([](HeadlessWindowSystem& s) { EXPECT_TRUE(s.Click(kEditButton)); });
    system.Then([&](HeadlessWindowSystem& s) {
        depthInside = s.ModalDepth();
        EXPECT_EQ(s.ActiveTemplateId(), 4);
        EXPECT_EQ(s.ActiveCaption(), "Entry");
        EXPECT_FALSE(s.HasControl(kEditButton)); // the owner's controls are not in reach
        EXPECT_TRUE(s.PressEnter());
    });
    system.Then([&](HeadlessWindowSystem& s) {
        focusAfter = s.FocusedControlId();
        s.PressCloseBox();
    });
    EXPECT_EQ(main.Run(), ui::kIdCancel);
    EXPECT_EQ(depthInside, 2);
    EXPECT_EQ(entryResult, ui::kIdOk);
    EXPECT_EQ(focusAfter, kEditButton);
    EXPECT_FALSE(system.RanOutOfSteps());
}

TEST(HeadlessScript, MessageBoxesTakeQueuedAnswersThenCancel) {
    HeadlessWindowSystem system;
    system.AnswerNextMessageBox(ui::kIdYes);
    EXPECT_EQ(system.MessageBox(nullptr, "first", "cap", ui::kMbYesNo), ui::kIdYes);
    EXPECT_EQ(system.MessageBox(nullptr, "second", "", ui::kMbOk), ui::kIdCancel);
    ASSERT_EQ(system.MessageBoxes().size(), 2u);
    EXPECT_EQ(system.MessageBoxes()[0].text, "first");
    EXPECT_EQ(system.MessageBoxes()[0].caption, "cap");
    EXPECT_EQ(system.MessageBoxes()[0].flags, ui::kMbYesNo);
    EXPECT_TRUE(system.MessageBoxes()[0].scripted);
    EXPECT_FALSE(system.MessageBoxes()[1].scripted);
    EXPECT_EQ(system.MessageBoxes()[1].answer, ui::kIdCancel);
}

TEST(HeadlessPages, PageControlsReportToThePageAndTheTabToTheDialog) {
    HeadlessWindowSystem system;
    MainWindows main(system);
    system.Then([&](HeadlessWindowSystem& s) {
        EXPECT_EQ(s.TabTitles(kTab), (std::vector<std::string>{"Tree", "Port"}));
        EXPECT_EQ(s.TabCurSel(kTab), 0);
        EXPECT_TRUE(s.HasControl(kTree));
        EXPECT_FALSE(s.HasControl(kRtsCts)); // on the hidden page
        EXPECT_FALSE(s.Click(kRtsCts));
        EXPECT_TRUE(s.SwitchTab(kTab, 1));
        EXPECT_FALSE(s.HasControl(kTree));
        EXPECT_TRUE(s.Click(kRtsCts));
        EXPECT_TRUE(s.Choose(kBaud, 0));
    });
    main.Run();
    const auto clicks = main.portPage.Heard(EventCode::Clicked);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].controlId, kRtsCts);
    ASSERT_EQ(main.portPage.Heard(EventCode::SelectionChange).size(), 1u);
    EXPECT_TRUE(main.dialog.Heard(EventCode::SelectionChange).empty());
    ASSERT_EQ(main.dialog.Heard(EventCode::TabSelChanging).size(), 1u);
    ASSERT_EQ(main.dialog.Heard(EventCode::TabSelChange).size(), 1u);
    EXPECT_EQ(main.dialog.Heard(EventCode::TabSelChange)[0].controlId, kTab);
    // Show events: the tree page shown at start, hidden on the switch; the port page shown.
    std::vector<bool> treeShows;
    for (const ui::Event& event : main.treePage.events) {
        if (event.kind == EventKind::Show) {
            treeShows.push_back(event.shown);
        }
    }
    EXPECT_EQ(treeShows, (std::vector<bool>{true, false}));
    ASSERT_FALSE(main.portPage.events.empty());
    EXPECT_EQ(main.portPage.events[0].kind, EventKind::Show);
    EXPECT_TRUE(main.portPage.events[0].shown);
}

TEST(HeadlessPages, TheDialogCanRefuseToLeaveATab) {
    HeadlessWindowSystem system;
    MainWindows main(system);
    auto base = main.dialog.onEvent;
    main.dialog.onEvent = [&](const ui::Event& event) -> intptr_t {
        return event.code == EventCode::TabSelChanging ? 1 : base(event);
    };
    system.Then([](HeadlessWindowSystem& s) {
        EXPECT_TRUE(s.SwitchTab(kTab, 1));
        EXPECT_EQ(s.TabCurSel(kTab), 0);
        EXPECT_FALSE(s.SwitchTab(kTab, 2));
    });
    main.Run();
    EXPECT_TRUE(main.dialog.Heard(EventCode::TabSelChange).empty());
}

TEST(HeadlessButtons, RadioGroupsRunToTheNextGroupStartAndProgramChecksAreSilent) {
    HeadlessWindowSystem system;
    MainWindows main(system);
    system.Then([&](HeadlessWindowSystem& s) {
        ui::WindowHandle page = main.pages[1];
        s.SetCheck(s.GetControl(page, kParityOdd), 1);
        s.SetCheck(s.GetControl(page, kBits8), 1);
        s.SwitchTab(kTab, 1);
        EXPECT_EQ(s.ControlCheck(kParityOdd), 1);
        EXPECT_TRUE(s.Click(kParityEven));
        EXPECT_EQ(s.ControlCheck(kParityNone), 0);
        EXPECT_EQ(s.ControlCheck(kParityEven), 1);
        EXPECT_EQ(s.ControlCheck(kParityOdd), 0);
        EXPECT_EQ(s.ControlCheck(kBits8), 1); // another group
        EXPECT_FALSE(s.Click(kBits7));        // disabled
        EXPECT_FALSE(s.ControlEnabled(kBits7));
        EXPECT_TRUE(s.Click(kRtsCts));
        EXPECT_EQ(s.ControlCheck(kRtsCts), 1);
        EXPECT_TRUE(s.Click(kRtsCts));
        EXPECT_EQ(s.ControlCheck(kRtsCts), 0);
    });
    main.Run();
    const auto clicks = main.portPage.Heard(EventCode::Clicked);
    ASSERT_EQ(clicks.size(), 3u); // nothing for SetCheck, nothing for the disabled button
    EXPECT_EQ(clicks[0].controlId, kParityEven);
}

TEST(HeadlessButtons, EnterPressesTheFocusedButtonElseTheDefaultOne) {
    HeadlessWindowSystem system;
    MainWindows main(system);
    system.Then([&](HeadlessWindowSystem& s) {
        EXPECT_EQ(s.FocusedControlId(), kTab); // the first tab stop
        EXPECT_TRUE(s.PressEnter());           // the default button
        s.SetFocus(s.GetControl(main.dialog.handle, kDeleteButton));
        EXPECT_TRUE(s.PressEnter()); // the focused push button
        s.SetFocus(s.GetControl(main.dialog.handle, kTab));
        s.Enable(s.GetControl(main.dialog.handle, kEditButton), false);
        EXPECT_FALSE(s.PressEnter()); // a disabled default button does nothing
        EXPECT_TRUE(s.PressEscape());
    });
    main.Run();
    const auto clicks = main.dialog.Heard(EventCode::Clicked);
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(clicks[0].controlId, kEditButton);
    EXPECT_EQ(clicks[1].controlId, kDeleteButton);
    EXPECT_EQ(clicks[2].controlId, ui::kIdCancel);
}

TEST(HeadlessEdits, UpperCaseConversionLeavesDoubleByteCharactersAlone) {
    HeadlessWindowSystem system;
    EntryWindow entry(system);
    system.Then([](HeadlessWindowSystem& s) {
        EXPECT_EQ(s.FocusedControlId(), kName);
        // 0x81 0x61 is one CP949 character whose trail byte looks like 'a'.
        EXPECT_TRUE(s.Type(kName, "pump\x81\x61x1"));
        EXPECT_EQ(s.ControlText(kName), "PUMP\x81\x61X1");
        EXPECT_TRUE(s.Type(kDescription, "inlet"));
        EXPECT_EQ(s.ControlText(kDescription), "inlet");
        EXPECT_EQ(s.FocusedControlId(), kDescription);
        EXPECT_FALSE(s.Type(kModel, "x")); // not an edit field
    });
    entry.Run();
    const auto changes = entry.window.Heard(EventCode::EditChange);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].controlId, kName);
}

TEST(HeadlessEdits, GotoControlSelectsTheWholeTextUntilTyping) {
    HeadlessWindowSystem system;
    EntryWindow entry(system);
    system.Then([&](HeadlessWindowSystem& s) {
        ui::WindowHandle number = s.GetControl(entry.window.handle, kNumber);
        s.SetText(number, "12");
        EXPECT_TRUE(entry.window.Heard(EventCode::EditChange).empty()); // silent
        s.GotoControl(entry.window.handle, number);
        EXPECT_EQ(s.FocusedControlId(), kNumber);
        EXPECT_TRUE(s.FocusedTextSelected());
        s.Type(kNumber, "13");
        EXPECT_FALSE(s.FocusedTextSelected());
        EXPECT_EQ(s.GetText(number), "13");
    });
    entry.Run();
}

TEST(HeadlessUpDown, SpinWritesTheBuddyWithinTheRange) {
    HeadlessWindowSystem system;
    EntryWindow entry(system);
    system.Then([](HeadlessWindowSystem& s) {
        EXPECT_TRUE(s.Type(kNumber, "29"));
        EXPECT_TRUE(s.Spin(kSpin, 1));
        EXPECT_EQ(s.ControlText(kNumber), "30");
        EXPECT_TRUE(s.Spin(kSpin, 5));
        EXPECT_EQ(s.ControlText(kNumber), "31"); // stops at the upper end
        EXPECT_TRUE(s.Type(kNumber, "1"));
        EXPECT_TRUE(s.Spin(kSpin, -3));
        EXPECT_EQ(s.ControlText(kNumber), "0");
        EXPECT_TRUE(s.Type(kNumber, "x"));
        EXPECT_TRUE(s.Spin(kSpin, 1)); // not a number: from the last position
        EXPECT_EQ(s.ControlText(kNumber), "1");
    });
    entry.Run();
    EXPECT_EQ(entry.window.Heard(EventCode::UpDownDelta).size(), 10u);
    EXPECT_EQ(entry.window.Heard(EventCode::UpDownDelta)[0].controlId, kSpin);
}

TEST(HeadlessLists, InitialItemsProgramSelectionAndUserChoice) {
    HeadlessWindowSystem system;
    EntryWindow entry(system);
    system.Then([&](HeadlessWindowSystem& s) {
        ui::WindowHandle list = s.GetControl(entry.window.handle, kModel);
        EXPECT_EQ(s.ControlItems(kModel), (std::vector<std::string>{"A", "B", "C"}));
        EXPECT_EQ(s.GetCurSel(list), -1);
        EXPECT_EQ(s.SetCurSel(list, 2), 2);
        EXPECT_EQ(s.SetCurSel(list, 3), -1); // outside: cleared
        EXPECT_EQ(s.GetCurSel(list), -1);
        EXPECT_EQ(s.AddString(list, "D"), 3);
        EXPECT_EQ(s.GetItemText(list, 3), "D");
        EXPECT_EQ(s.GetItemText(list, 4), "");
        EXPECT_TRUE(s.Choose(kModel, 1));
        EXPECT_TRUE(s.Choose(kModel, 1)); // the same entry again still notifies
        EXPECT_FALSE(s.Choose(kModel, 9));
        EXPECT_EQ(s.ControlCurSel(kModel), 1);
    });
    entry.Run();
    EXPECT_EQ(entry.window.Heard(EventCode::SelectionChange).size(), 2u);
}

TEST(HeadlessTree, ItemsGoLastSelectionNotifiesAndDeletionTakesChildren) {
    HeadlessWindowSystem system;
    MainWindows main(system);
    std::vector<ui::TreeItemHandle> items;
    system.Then([&](HeadlessWindowSystem& s) {
        ui::WindowHandle tree = main.tree;
        ui::TreeItemHandle root = s.InsertItem(tree, "LINE1", 0, 0, nullptr);
        ui::TreeItemHandle a = s.InsertItem(tree, "A", 1, 1, root);
        ui::TreeItemHandle b = s.InsertItem(tree, "B", 1, 1, root);
        ui::TreeItemHandle c = s.InsertItem(tree, "C", 1, 1, root);
        s.InsertItem(tree, "B1", 1, 1, b);
        s.SetItemData(tree, b, 77);
        s.Expand(tree, root);
        EXPECT_EQ(s.GetRootItem(tree), root);
        EXPECT_EQ(s.GetChildItem(tree, root), a);
        EXPECT_EQ(s.GetNextSiblingItem(tree, a), b);
        EXPECT_EQ(s.GetNextSiblingItem(tree, c), nullptr);
        EXPECT_EQ(s.GetItemData(tree, b), 77u);
        int image = -1, selected = -1;
        EXPECT_TRUE(s.GetItemImage(tree, root, image, selected));
        EXPECT_EQ(image, 0);
        const auto view = s.TreeItems(kTree);
        ASSERT_EQ(view.size(), 5u);
        EXPECT_EQ(view[3].text, "B1");
        EXPECT_EQ(view[3].depth, 2);
        EXPECT_TRUE(view[0].expanded);
        EXPECT_EQ(view[2].data, 77u);

        EXPECT_TRUE(s.SelectItem(tree, b)); // by the program: notified
        EXPECT_TRUE(s.SelectItem(tree, b)); // no change: not notified
        EXPECT_EQ(s.GetSelectedItem(tree), b);
        EXPECT_TRUE(s.DeleteItem(tree, b)); // with B1; the selection moves to C
        EXPECT_EQ(s.GetSelectedItem(tree), c);
        EXPECT_EQ(s.TreeItems(kTree).size(), 3u);
        EXPECT_EQ(s.GetItemText(tree, b), ""); // a deleted handle is no item
        EXPECT_FALSE(s.DeleteItem(tree, b));
        EXPECT_TRUE(s.DeleteItem(tree, c)); // the last child: its parent is selected
        EXPECT_EQ(s.GetSelectedItem(tree), root);
        items = {root, a, b, c};
    });
    main.Run();
    const auto changes = main.treePage.Heard(EventCode::TreeSelChanged);
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].item, items[2]);
    EXPECT_EQ(changes[0].oldItem, nullptr);
    EXPECT_EQ(changes[1].item, items[3]);
    EXPECT_EQ(changes[1].oldItem, items[2]);
    EXPECT_EQ(changes[2].item, items[0]);
    EXPECT_EQ(changes[0].controlId, kTree);
}

TEST(HeadlessTree, UserSelectionAndDoubleClicks) {
    HeadlessWindowSystem system;
    MainWindows main(system);
    system.Then([&](HeadlessWindowSystem& s) {
        ui::TreeItemHandle root = s.InsertItem(main.tree, "LINE1", 0, 0, nullptr);
        s.InsertItem(main.tree, "P1", 1, 1, root);
        EXPECT_TRUE(s.SelectTreeItem(kTree, "LINE1"));
        EXPECT_FALSE(s.SelectTreeItem(kTree, "nothing"));
        EXPECT_TRUE(s.DoubleClickTreeItem(kTree, "P1")); // selects P1, then double click
        EXPECT_TRUE(s.DoubleClickTreeBackground(kTree));
        EXPECT_TRUE(s.ClearTreeSelection(kTree));
        EXPECT_EQ(s.FocusedControlId(), kTree);
        EXPECT_TRUE(s.TreeItems(kTree)[0].expanded); // selecting P1 made it visible
        EXPECT_TRUE(s.DeleteAllItems(main.tree));
        EXPECT_TRUE(s.TreeItems(kTree).empty());
    });
    main.Run();
    const auto doubles = main.treePage.Heard(EventCode::TreeDoubleClick);
    ASSERT_EQ(doubles.size(), 2u);
    EXPECT_NE(doubles[0].item, nullptr);
    EXPECT_EQ(doubles[1].item, nullptr);
    // LINE1, P1, then none by the clear.
    EXPECT_EQ(main.treePage.Heard(EventCode::TreeSelChanged).size(), 3u);
}

TEST(HeadlessImages, AnImageListHoldsTheWholeImagesOfTheStrip) {
    HeadlessWindowSystem system;
    ui::ImageListHandle images = system.CreateImageList({&StripBitmap(), nullptr}, 16, 0, 0xFF00FF);
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(system.GetImageCount(images), 3);
    system.SetImageListBackground(images, system.SystemWindowColor());
    system.DestroyImageList(images);
    EXPECT_EQ(system.GetImageCount(images), 0);
    EXPECT_EQ(system.CreateImageList({nullptr, nullptr}, 16, 0, 0), nullptr);
}

TEST(HeadlessHandles, DeadOrForeignHandlesAreIgnored) {
    HeadlessWindowSystem system;
    MainWindows main(system);
    ui::WindowHandle page = nullptr;
    system.Then([&](HeadlessWindowSystem& s) {
        page = main.pages[1];
        s.DestroyWindow(page);
        EXPECT_EQ(main.portPage.destroyed, 1);
        EXPECT_EQ(s.GetControl(page, kRtsCts), nullptr);
        s.Enable(page, false); // no crash
        int dummy = 0;
        EXPECT_FALSE(s.GetItemImage(main.tree, &dummy, dummy, dummy));
        EXPECT_EQ(s.InsertItem(main.tree, "x", 0, 0, &dummy), nullptr);
        EXPECT_EQ(s.GetControlId(main.tree), kTree);
    });
    main.Run();
    EXPECT_EQ(main.portPage.destroyed, 1); // not destroyed twice with the dialog
}

} // namespace
} // namespace uitest
