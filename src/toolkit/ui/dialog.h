// The framework's dialog: made from a dialog template found on the resource chain, run
// modally through the current window system (or created as a property page), with data
// exchange between controls and members and a message map for its controls' events.
#pragma once

#include "platform/export.h"
#include "toolkit/ui/resource_templates.h"
#include "toolkit/ui/window_system.h"
#include "toolkit/ui/wnd.h"

#include <cstdint>
#include <vector>

class CDataExchange;

class TOOLKIT_API CDialog : public CWnd, public ui::WindowEvents {
public:
    explicit CDialog(int templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; the code EndDialog gave, or -1 when the dialog cannot be
    // created (no window system, or no template of that id on the resource chain).
    intptr_t DoModal();
    void EndDialog(intptr_t result);
    // Exchanges every member with its control: from the controls when saving, else to
    // them. False when a control's text was refused (the user was told, focus moved).
    bool UpdateData(bool saveAndValidate = true);
    // The dialog's move to a control: focus, and an edit field's whole text selected.
    void GotoDlgCtrl(ui::WindowHandle control);
    void GotoDlgCtrl(CWnd& control) { GotoDlgCtrl(control.m_hWnd); }
    // Dispatches a click of the control at once, as if the user had clicked it.
    void SendCommand(int controlId);

    int TemplateId() const { return templateId_; }
    CWnd* Parent() const { return parent_; }
    // The template the window was made from; null while there is no window.
    const ui::DialogTemplate* Template() const { return found_.dialog; }
    // Makes `control` the object of control `controlId`: it gets the handle and is offered
    // the control's notifications first.
    void BindControl(CWnd& control, int controlId);

    // The handle of the modal dialog running now (the innermost one), or null.
    static ui::WindowHandle ActiveModalWindow();

protected:
    // Default: UpdateData(false). True when the window system should set the focus.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange& exchange);
    // Default: UpdateData(true), then EndDialog(IDOK) when that succeeded.
    virtual void OnOK();
    // Default: EndDialog(IDCANCEL).
    virtual void OnCancel();
    // The message map: true when the event was handled, with its result in `result`.
    // Default: IDOK and IDCANCEL clicks go to OnOK and OnCancel.
    virtual bool OnEvent(const ui::Event& event, intptr_t& result);

    // Creates the window as a property page over `tabControl`; false when it cannot.
    bool CreatePageWindow(ui::WindowHandle tabControl);

    // ui::WindowEvents
    bool OnWindowInit(ui::WindowHandle self) override;
    intptr_t OnWindowEvent(const ui::Event& event) override;
    void OnWindowDestroyed() override;

private:
    struct BoundControl {
        int controlId;
        CWnd* control;
    };

    int templateId_;
    CWnd* parent_;
    ui::FoundDialog found_;
    std::vector<BoundControl> bound_;
};
