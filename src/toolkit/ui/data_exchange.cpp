#include "toolkit/ui/data_exchange.h"

#include "toolkit/ui/dialog.h"
#include "toolkit/ui/message_box.h"

#include <climits>
#include <cstdio>
#include <optional>

const char kPromptInteger[] = "Enter an integer.";

std::string IntegerRangePrompt(int low, int high) {
    char text[80];
    std::snprintf(text, sizeof(text), "Enter an integer between %d and %d.", low, high);
    return text;
}

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A decimal integer with optional blanks around it and an optional sign; nothing for any
// other text, and for a number an int cannot hold.
std::optional<int> ParseInteger(const std::string& text) {
    size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        negative = text[at] == '-';
        ++at;
    }
    const size_t firstDigit = at;
    long long value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        value = value * 10 + (text[at] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            return std::nullopt;
        }
        ++at;
    }
    if (at == firstDigit) {
        return std::nullopt;
    }
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > INT_MAX || value < INT_MIN) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

// A control to exchange with, and the window system that holds it.
struct Target {
    ui::WindowSystem* system = nullptr;
    ui::WindowHandle control = nullptr;
};

// Nothing when an earlier exchange failed or there is no such control to exchange with.
std::optional<Target> Prepare(CDataExchange& exchange, int controlId) {
    if (exchange.Failed()) {
        return std::nullopt;
    }
    ui::WindowHandle control = exchange.PrepareControl(controlId);
    ui::WindowSystem* system = control != nullptr ? ui::CurrentWindowSystem() : nullptr;
    if (system == nullptr) {
        return std::nullopt;
    }
    return Target{system, control};
}

} // namespace

CDataExchange::CDataExchange(CDialog& dialog, bool saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), dialog_(dialog) {}

ui::WindowHandle CDataExchange::PrepareControl(int controlId) {
    lastControl_ = dialog_.GetDlgItem(controlId);
    return lastControl_;
}

void CDataExchange::Fail(const std::string& prompt) {
    AfxMessageBox(prompt, ui::kMbOk | ui::kMbIconWarning);
    dialog_.GotoDlgCtrl(lastControl_);
    failed_ = true;
}

void DDX_Control(CDataExchange& exchange, int controlId, CWnd& control) {
    if (exchange.Failed() || control.m_hWnd != nullptr) {
        return;
    }
    exchange.Dialog().BindControl(control, controlId);
}

void DDX_Text(CDataExchange& exchange, int controlId, std::string& value) {
    const std::optional<Target> target = Prepare(exchange, controlId);
    if (!target) {
        return;
    }
    if (exchange.m_bSaveAndValidate) {
        value = target->system->GetText(target->control);
    } else {
        target->system->SetText(target->control, value);
    }
}

void DDX_Text(CDataExchange& exchange, int controlId, int& value) {
    const std::optional<Target> target = Prepare(exchange, controlId);
    if (!target) {
        return;
    }
    if (!exchange.m_bSaveAndValidate) {
        target->system->SetText(target->control, std::to_string(value));
        return;
    }
    if (const std::optional<int> parsed = ParseInteger(target->system->GetText(target->control))) {
        value = *parsed;
    } else {
        exchange.Fail(kPromptInteger);
    }
}

void DDX_CBIndex(CDataExchange& exchange, int controlId, int& index) {
    const std::optional<Target> target = Prepare(exchange, controlId);
    if (!target) {
        return;
    }
    if (exchange.m_bSaveAndValidate) {
        index = target->system->GetCurSel(target->control);
    } else {
        target->system->SetCurSel(target->control, index);
    }
}

namespace {

// The ids of the radio buttons of the group that starts at `firstControlId`, in template
// order: up to the next control that starts a group.
std::vector<int> RadioGroup(const ui::DialogTemplate& dialog, int firstControlId) {
    std::vector<int> group;
    bool inGroup = false;
    for (const ui::ControlTemplate& control : dialog.controls) {
        if (inGroup && (control.style & ui::kGroup) != 0) {
            break;
        }
        if (control.id == firstControlId) {
            inGroup = true;
        }
        if (inGroup && control.kind == ui::ControlKind::RadioButton) {
            group.push_back(control.id);
        }
    }
    return group;
}

} // namespace

void DDX_Radio(CDataExchange& exchange, int firstControlId, int& index) {
    const std::optional<Target> target = Prepare(exchange, firstControlId);
    CDialog& dialog = exchange.Dialog();
    if (!target || dialog.Template() == nullptr) {
        return;
    }
    ui::WindowSystem* system = target->system;
    const std::vector<int> group = RadioGroup(*dialog.Template(), firstControlId);
    if (exchange.m_bSaveAndValidate) {
        index = -1;
    }
    for (size_t position = 0; position < group.size(); ++position) {
        ui::WindowHandle button = dialog.GetDlgItem(group[position]);
        if (button == nullptr) {
            continue;
        }
        const int mine = static_cast<int>(position);
        if (!exchange.m_bSaveAndValidate) {
            system->SetCheck(button, mine == index ? 1 : 0);
        } else if (system->GetCheck(button) != 0 && index == -1) {
            index = mine;
        }
    }
}

void DDX_Check(CDataExchange& exchange, int controlId, int& check) {
    const std::optional<Target> target = Prepare(exchange, controlId);
    if (!target) {
        return;
    }
    if (exchange.m_bSaveAndValidate) {
        check = target->system->GetCheck(target->control);
    } else {
        target->system->SetCheck(target->control, check != 0 ? 1 : 0);
    }
}

void DDV_MinMaxInt(CDataExchange& exchange, int value, int low, int high) {
    if (exchange.Failed() || !exchange.m_bSaveAndValidate) {
        return;
    }
    if (value < low || value > high) {
        exchange.Fail(IntegerRangePrompt(low, high));
    }
}
