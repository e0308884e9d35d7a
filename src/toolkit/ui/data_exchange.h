// Data exchange between a dialog's controls and its members, in both directions. A text the
// user typed that does not fit (no integer, a number out of range) is refused with the
// framework's standard prompt, the focus goes to its control and the exchange is marked
// failed: the exchanges that follow do nothing. Nothing is thrown.
#pragma once

#include "platform/export.h"
#include "toolkit/ui/window_system.h"

#include <string>

class CDialog;
class CWnd;

class TOOLKIT_API CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool saveAndValidate);

    CDialog& Dialog() const { return dialog_; }
    // The control of that id, remembered as the one a failure moves the focus to.
    ui::WindowHandle PrepareControl(int controlId);
    // Shows the prompt, moves the focus to the last prepared control and marks the
    // exchange failed.
    void Fail(const std::string& prompt);
    bool Failed() const { return failed_; }

    const bool m_bSaveAndValidate; // true: from the controls into the members

private:
    CDialog& dialog_;
    ui::WindowHandle lastControl_ = nullptr;
    bool failed_ = false;
};

// The framework's standard prompts (CP949; plain ASCII).
TOOLKIT_API extern const char kPromptInteger[];
// "Enter an integer between LOW and HIGH."
TOOLKIT_API std::string IntegerRangePrompt(int low, int high);

// Binds the control object to control `controlId` of the dialog (in both directions).
TOOLKIT_API void DDX_Control(CDataExchange& exchange, int controlId, CWnd& control);
// The control's text.
TOOLKIT_API void DDX_Text(CDataExchange& exchange, int controlId, std::string& value);
// The control's text as a decimal integer; saving refuses a text that is no integer.
TOOLKIT_API void DDX_Text(CDataExchange& exchange, int controlId, int& value);
// A drop-down list's selection index; -1 for none.
TOOLKIT_API void DDX_CBIndex(CDataExchange& exchange, int controlId, int& index);
// The index of the checked radio button in the group that starts at `firstControlId`;
// -1 for none.
TOOLKIT_API void DDX_Radio(CDataExchange& exchange, int firstControlId, int& index);
// A check box's state, 0 or 1.
TOOLKIT_API void DDX_Check(CDataExchange& exchange, int controlId, int& check);
// Saving only: refuses a value outside low..high (the last prepared control's).
TOOLKIT_API void DDV_MinMaxInt(CDataExchange& exchange, int value, int low, int high);
