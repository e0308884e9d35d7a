// ui_terminal_probe: the test dialogs on the terminal window system, for the tests that type
// into it through a pseudo-terminal. After the dialog it puts the terminal back and prints
// one line: result=CODE name=... model=N number=... description=... boxes=A,B
// OK with an empty name shows a message box; with the name ASK it asks yes or no first; with
// NEST it opens a second dialog over the first.
#include "platform/raw_terminal.h"
#include "platform/text_codec.h"
#include "test_templates.h"
#include "test_window.h"
#include "toolkit/ui/terminal/terminal_window_system.h"

#include <cstdio>
#include <string>

namespace {

std::string Cp949(const std::string& utf8) {
    std::string text;
    platform::Utf8ToCp949(utf8, text);
    return text;
}

std::string Utf8(const std::string& cp949) {
    std::string text;
    platform::Cp949ToUtf8(cp949, text);
    return text;
}

struct Probe {
    ui::WindowSystem& system;
    uitest::TestWindow window;
    std::string name, number, description;
    int model = -1;
    std::string boxes;
    intptr_t nested = 0;

    explicit Probe(ui::WindowSystem& windows) : system(windows) {
        window.onInit = [this](ui::WindowHandle self) {
            system.SetText(self, Cp949("스테이션 설정"));
            system.SetRange(system.GetControl(self, uitest::kSpin), 0, 31);
            system.SetText(system.GetControl(self, uitest::kNumber), "0");
            system.SetCurSel(system.GetControl(self, uitest::kModel), 0);
        };
        window.onEvent = [this](const ui::Event& event) -> intptr_t {
            if (event.kind == ui::EventKind::Command && event.controlId == ui::kIdOk) {
                Confirm();
            } else if (event.kind == ui::EventKind::Command && event.controlId == ui::kIdCancel) {
                system.EndModal(window.handle, ui::kIdCancel);
            }
            return 0;
        };
    }

    void Answer(int answer) { boxes += (boxes.empty() ? "" : ",") + std::to_string(answer); }

    void Confirm() {
        ui::WindowHandle self = window.handle;
        name = system.GetText(system.GetControl(self, uitest::kName));
        number = system.GetText(system.GetControl(self, uitest::kNumber));
        description = system.GetText(system.GetControl(self, uitest::kDescription));
        model = system.GetCurSel(system.GetControl(self, uitest::kModel));
        if (name.empty()) {
            Answer(system.MessageBox(self, Cp949("스테이션 이름이 설정되지 않았습니다."), "Probe",
                                     ui::kMbOk | ui::kMbIconWarning));
            system.GotoControl(self, system.GetControl(self, uitest::kName));
            return;
        }
        if (name == "ASK") {
            const int answer = system.MessageBox(self, Cp949("저장하시겠습니까?"), "Probe",
                                                 ui::kMbYesNo | ui::kMbIconQuestion);
            Answer(answer);
            if (answer != ui::kIdYes) {
                return;
            }
        }
        if (name == "NEST") {
            Probe inner(system);
            nested = system.RunModal(inner.window, {&uitest::EntryDialog(), nullptr}, self);
        }
        system.EndModal(self, ui::kIdOk);
    }
};

} // namespace

int main() {
    std::string error;
    std::unique_ptr<platform::RawTerminal> terminal = platform::RawTerminal::Open(error);
    if (!terminal) {
        std::fprintf(stderr, "ui_terminal_probe: %s\n", error.c_str());
        return 3;
    }
    std::string line;
    {
        ui::TerminalWindowSystem system(*terminal);
        Probe probe(system);
        const intptr_t result =
            system.RunModal(probe.window, {&uitest::EntryDialog(), nullptr}, nullptr);
        line = "result=" + std::to_string(result) + " name=" + Utf8(probe.name) +
               " model=" + std::to_string(probe.model) + " number=" + probe.number +
               " description=" + Utf8(probe.description) + " boxes=" + probe.boxes +
               " nested=" + std::to_string(probe.nested);
    }
    terminal.reset(); // the screen is the user's again before the line is printed
    std::printf("%s\n", line.c_str());
    return 0;
}
