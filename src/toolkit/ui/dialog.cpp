#include "toolkit/ui/dialog.h"

#include "toolkit/extension_module.h"
#include "toolkit/ui/data_exchange.h"

#include <algorithm>

namespace {

// The modal dialogs running now, innermost last. Dialogs live on the user-interface thread
// only.
std::vector<CDialog*>& ModalStack() {
    static std::vector<CDialog*> stack;
    return stack;
}

} // namespace

CDialog::CDialog(int templateId, CWnd* parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() {
    // A page whose window outlives its object would report to a dead object. The bound
    // controls (members of the derived class) are gone already.
    bound_.clear();
    if (m_hWnd != nullptr) {
        if (ui::WindowSystem* system = ui::CurrentWindowSystem()) {
            system->DestroyWindow(m_hWnd);
        }
    }
}

intptr_t CDialog::DoModal() {
    ui::WindowSystem* system = ui::CurrentWindowSystem();
    found_ = AfxFindDialog(templateId_);
    if (system == nullptr || found_.dialog == nullptr) {
        found_ = {};
        return -1;
    }
    ModalStack().push_back(this);
    const intptr_t result =
        system->RunModal(*this, found_, parent_ != nullptr ? parent_->m_hWnd : nullptr);
    ModalStack().erase(std::find(ModalStack().begin(), ModalStack().end(), this));
    found_ = {};
    return result;
}

bool CDialog::CreatePageWindow(ui::WindowHandle tabControl) {
    ui::WindowSystem* system = ui::CurrentWindowSystem();
    found_ = AfxFindDialog(templateId_);
    if (system == nullptr || found_.dialog == nullptr || tabControl == nullptr) {
        found_ = {};
        return false;
    }
    if (system->CreatePage(*this, found_, tabControl) == nullptr) {
        found_ = {};
        return false;
    }
    return true;
}

ui::WindowHandle CDialog::ActiveModalWindow() {
    return ModalStack().empty() ? nullptr : ModalStack().back()->m_hWnd;
}

void CDialog::EndDialog(intptr_t result) {
    if (ui::WindowSystem* system = System()) {
        system->EndModal(m_hWnd, result);
    }
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange exchange(*this, saveAndValidate);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

void CDialog::GotoDlgCtrl(ui::WindowHandle control) {
    if (ui::WindowSystem* system = System(); system != nullptr && control != nullptr) {
        system->GotoControl(m_hWnd, control);
    }
}

void CDialog::SendCommand(int controlId) {
    ui::Event event;
    event.kind = ui::EventKind::Command;
    event.controlId = controlId;
    event.code = ui::EventCode::Clicked;
    OnWindowEvent(event);
}

void CDialog::BindControl(CWnd& control, int controlId) {
    control.Attach(GetDlgItem(controlId));
    for (BoundControl& bound : bound_) {
        if (bound.control == &control) {
            bound.controlId = controlId;
            return;
        }
    }
    bound_.push_back({controlId, &control});
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::DoDataExchange(CDataExchange&) {}

void CDialog::OnOK() {
    if (UpdateData(true)) {
        EndDialog(ui::kIdOk);
    }
}

void CDialog::OnCancel() {
    EndDialog(ui::kIdCancel);
}

bool CDialog::OnEvent(const ui::Event& event, intptr_t& result) {
    if (event.kind != ui::EventKind::Command || event.code != ui::EventCode::Clicked) {
        return false;
    }
    result = 0;
    if (event.controlId == ui::kIdOk) {
        OnOK();
        return true;
    }
    if (event.controlId == ui::kIdCancel) {
        OnCancel();
        return true;
    }
    return false;
}

bool CDialog::OnWindowInit(ui::WindowHandle self) {
    m_hWnd = self;
    return OnInitDialog();
}

intptr_t CDialog::OnWindowEvent(const ui::Event& event) {
    intptr_t result = 0;
    for (const BoundControl& bound : bound_) {
        if (event.controlId != 0 && bound.controlId == event.controlId &&
            bound.control->OnChildNotify(event, result)) {
            return result;
        }
    }
    OnEvent(event, result);
    return result;
}

void CDialog::OnWindowDestroyed() {
    for (const BoundControl& bound : bound_) {
        bound.control->Detach();
    }
    bound_.clear();
    m_hWnd = nullptr;
    found_ = {};
}
