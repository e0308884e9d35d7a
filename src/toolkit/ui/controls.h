// The framework's simple controls: buttons, edit fields, drop-down lists, up-down controls
// and tab controls. Each is a CWnd bound to a dialog's control (DDX_Control) and forwards
// to the current window system.
#pragma once

#include "platform/export.h"
#include "toolkit/ui/wnd.h"

#include <string>

class TOOLKIT_API CButton : public CWnd {
public:
    int GetCheck() const; // 0 or 1
    void SetCheck(int check);
};

class TOOLKIT_API CEdit : public CWnd {};

class TOOLKIT_API CComboBox : public CWnd {
public:
    int AddString(const std::string& text); // the new entry's index, -1 on failure
    int GetCount() const;
    int GetCurSel() const; // -1 for none
    int SetCurSel(int index);
    std::string GetLBText(int index) const;
};

class TOOLKIT_API CSpinButtonCtrl : public CWnd {
public:
    void SetRange(int lower, int upper);
};

class TOOLKIT_API CTabCtrl : public CWnd {
public:
    int InsertItem(int index, const std::string& title); // the tab's index, -1 on failure
    int GetItemCount() const;
    int GetCurSel() const; // -1 for none
    int SetCurSel(int index);
};
