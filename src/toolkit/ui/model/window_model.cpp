#include "toolkit/ui/model/window_model.h"

#include <algorithm>

namespace ui {
namespace {

// The display area of a tab control: below its row of tabs, inside its frame.
constexpr int kTabRowHeight = 14;
constexpr int kTabFrame = 2;

DialogRect TabDisplayArea(const DialogRect& tab) {
    return {tab.x + kTabFrame, tab.y + kTabRowHeight, std::max(0, tab.width - 2 * kTabFrame),
            std::max(0, tab.height - kTabRowHeight - kTabFrame)};
}

} // namespace

WindowModel::WindowModel() = default;
WindowModel::~WindowModel() {
    // Windows still open (a loop left by a test's failure) are let go without their events:
    // the framework objects behind them may be gone.
    dialogs_.clear();
}

std::unique_ptr<ModelWindow> WindowModel::BuildWindow(const DialogTemplate& dialog,
                                                      ModelWindowType type, ModelWindow* parent,
                                                      const DialogRect& origin) {
    auto window = std::make_unique<ModelWindow>();
    window->type = type;
    window->parent = parent;
    window->dialogTemplate = &dialog;
    window->id = dialog.id;
    window->text = dialog.caption ? dialog.caption : "";
    window->rect = {origin.x, origin.y, dialog.width, dialog.height};
    window->visible = false;
    live_.insert(window.get());
    ModelWindow* previous = nullptr;
    for (const ControlTemplate& control : dialog.controls) {
        auto item = std::make_unique<ModelWindow>();
        item->type = ModelWindowType::Control;
        item->parent = window.get();
        item->controlTemplate = &control;
        item->id = control.id;
        item->kind = control.kind;
        item->style = control.style;
        item->text = control.text ? control.text : "";
        item->rect = {origin.x + control.rect.x, origin.y + control.rect.y, control.rect.width,
                      control.rect.height};
        item->enabled = (control.style & kDisabled) == 0;
        for (const char* entry : control.initialItems) {
            item->items.emplace_back(entry ? entry : "");
        }
        if (control.kind == ControlKind::UpDown && (control.style & kUpDownAutoBuddy)) {
            item->buddy = previous;
        }
        if (control.kind == ControlKind::UpDown) {
            // A new up-down counts from 100 down to 0, as the common control does.
            item->lower = 100;
            item->upper = 0;
        }
        previous = item.get();
        live_.insert(item.get());
        window->controls.push_back(std::move(item));
    }
    return window;
}

ModelWindow* WindowModel::OpenDialog(WindowEvents& events, const FoundDialog& dialog) {
    if (dialog.dialog == nullptr) {
        return nullptr;
    }
    if (ActiveDialog() != nullptr) {
        ActiveDialog()->lastFocus = focus_;
    }
    auto window = BuildWindow(*dialog.dialog, ModelWindowType::Dialog, nullptr, {});
    window->rect = {0, 0, dialog.dialog->width, dialog.dialog->height};
    window->events = &events;
    ModelWindow* raw = window.get();
    dialogs_.push_back(std::move(window));
    modal_.push_back(raw);
    focus_ = nullptr;
    const bool wantsFocus = events.OnWindowInit(raw);
    raw->visible = true;
    if (wantsFocus && focus_ == nullptr) {
        GotoControl(FirstTabStop(raw));
    }
    return raw;
}

intptr_t WindowModel::CloseDialog(ModelWindow* dialog) {
    if (Window(dialog) == nullptr) {
        return -1;
    }
    const intptr_t code = dialog->endCode;
    Destroy(dialog);
    return code;
}

ModelWindow* WindowModel::CreatePage(WindowEvents& events, const FoundDialog& page,
                                     ModelWindow* tab) {
    if (page.dialog == nullptr || tab == nullptr || tab->kind != ControlKind::TabControl) {
        return nullptr;
    }
    ModelWindow* dialog = DialogOf(tab);
    const DialogRect area = TabDisplayArea(tab->rect);
    auto window = BuildWindow(*page.dialog, ModelWindowType::Page, dialog, area);
    window->events = &events;
    window->tabControl = tab;
    ModelWindow* raw = window.get();
    dialog->pages.push_back(raw);
    dialog->controls.push_back(std::move(window)); // owned with the dialog's controls
    events.OnWindowInit(raw);
    return raw;
}

void WindowModel::Forget(ModelWindow* window) {
    for (auto& control : window->controls) {
        Forget(control.get());
    }
    if (focus_ == window) {
        focus_ = nullptr;
    }
    for (ModelWindow* dialog : modal_) {
        if (dialog->lastFocus == window) {
            dialog->lastFocus = nullptr;
        }
    }
    live_.erase(window);
}

void WindowModel::Destroy(ModelWindow* window) {
    if (Window(window) == nullptr) {
        return;
    }
    if (window->type == ModelWindowType::Dialog) {
        // Pages go first, then the dialog, as child windows are destroyed before their owner.
        while (!window->pages.empty()) {
            Destroy(window->pages.back());
        }
        WindowEvents* events = window->events;
        const bool wasTop = ActiveDialog() == window;
        Forget(window);
        modal_.erase(std::remove(modal_.begin(), modal_.end(), window), modal_.end());
        auto owned = std::find_if(dialogs_.begin(), dialogs_.end(),
                                  [window](const auto& entry) { return entry.get() == window; });
        std::unique_ptr<ModelWindow> keep = std::move(*owned);
        dialogs_.erase(owned);
        if (wasTop && ActiveDialog() != nullptr) {
            focus_ = ActiveDialog()->lastFocus;
        }
        events->OnWindowDestroyed();
        return;
    }
    ModelWindow* parent = window->parent;
    WindowEvents* events = window->type == ModelWindowType::Page ? window->events : nullptr;
    Forget(window);
    auto& pages = parent->pages;
    pages.erase(std::remove(pages.begin(), pages.end(), window), pages.end());
    for (auto& control : parent->controls) {
        if (control->buddy == window) {
            control->buddy = nullptr;
        }
    }
    auto owned = std::find_if(parent->controls.begin(), parent->controls.end(),
                              [window](const auto& entry) { return entry.get() == window; });
    std::unique_ptr<ModelWindow> keep = std::move(*owned);
    parent->controls.erase(owned);
    if (events != nullptr) {
        events->OnWindowDestroyed();
    }
}

void WindowModel::EndModal(ModelWindow* dialog, intptr_t code) {
    if (dialog != nullptr && dialog->type == ModelWindowType::Dialog) {
        dialog->ended = true;
        dialog->endCode = code;
    }
}

ModelWindow* WindowModel::Window(WindowHandle handle) const {
    auto* window = static_cast<ModelWindow*>(handle);
    return live_.count(window) != 0 ? window : nullptr;
}

ModelWindow* WindowModel::Control(WindowHandle window, int controlId, ModelWindowType type) const {
    ModelWindow* parent = Window(window);
    if (parent == nullptr) {
        return nullptr;
    }
    for (auto& control : parent->controls) {
        if (control->type == type && control->id == controlId) {
            return control.get();
        }
    }
    return nullptr;
}

ModelTreeItem* WindowModel::TreeItem(ModelWindow* tree, TreeItemHandle item) const {
    auto* entry = static_cast<ModelTreeItem*>(item);
    if (tree == nullptr || entry == nullptr || tree->treeItems.count(entry) == 0) {
        return nullptr;
    }
    return entry;
}

ModelWindow* WindowModel::FindControl(ModelWindow* dialog, int controlId) const {
    if (dialog == nullptr) {
        return nullptr;
    }
    if (ModelWindow* control = Control(dialog, controlId, ModelWindowType::Control)) {
        return control;
    }
    for (ModelWindow* page : dialog->pages) {
        if (page->visible) {
            if (ModelWindow* control = Control(page, controlId, ModelWindowType::Control)) {
                return control;
            }
        }
    }
    return nullptr;
}

ModelWindow* WindowModel::DialogOf(ModelWindow* window) {
    while (window != nullptr && window->type != ModelWindowType::Dialog) {
        window = window->parent;
    }
    return window;
}

ModelWindow* WindowModel::OwnerOf(ModelWindow* control) {
    return control->type == ModelWindowType::Control ? control->parent : control;
}

bool WindowModel::ReallyVisible(const ModelWindow* window) {
    for (; window != nullptr; window = window->parent) {
        if (!window->visible) {
            return false;
        }
    }
    return true;
}

bool WindowModel::IsButton(const ModelWindow* control) {
    switch (control->kind) {
    case ControlKind::PushButton:
    case ControlKind::DefaultButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        return true;
    default:
        return false;
    }
}

bool WindowModel::IsUsable(const ModelWindow* control) {
    return control != nullptr && control->enabled && ReallyVisible(control);
}

intptr_t WindowModel::Dispatch(ModelWindow* window, const Event& event) {
    if (window == nullptr || window->events == nullptr) {
        return 0;
    }
    return window->events->OnWindowEvent(event);
}

void WindowModel::SendCommand(ModelWindow* control, EventCode code) {
    Event event;
    event.kind = EventKind::Command;
    event.controlId = control->id;
    event.code = code;
    Dispatch(OwnerOf(control), event);
}

void WindowModel::SendNotify(ModelWindow* control, EventCode code, ModelTreeItem* item,
                             ModelTreeItem* oldItem) {
    Event event;
    event.kind = EventKind::Notify;
    event.controlId = control->id;
    event.code = code;
    event.item = item;
    event.oldItem = oldItem;
    Dispatch(OwnerOf(control), event);
}

// --- state by the program --------------------------------------------------------------

void WindowModel::SetText(ModelWindow* window, const std::string& text) {
    window->text = text;
    window->textSelected = false;
    window->caret = text.size();
}

void WindowModel::SetCheck(ModelWindow* button, int check) {
    button->check = check != 0 ? 1 : 0;
}

void WindowModel::Show(ModelWindow* window, bool shown) {
    if (window->visible == shown) {
        return;
    }
    window->visible = shown;
    if (!shown && focus_ != nullptr) {
        for (ModelWindow* at = focus_; at != nullptr; at = at->parent) {
            if (at == window) {
                focus_ = nullptr;
                break;
            }
        }
    }
    if (window->type == ModelWindowType::Page) {
        Event event;
        event.kind = EventKind::Show;
        event.shown = shown;
        Dispatch(window, event);
    }
}

int WindowModel::AddString(ModelWindow* list, const std::string& text) {
    list->items.push_back(text);
    return static_cast<int>(list->items.size()) - 1;
}

int WindowModel::SetCurSel(ModelWindow* list, int index) {
    if (index < 0 || index >= static_cast<int>(list->items.size())) {
        list->curSel = -1;
        return -1;
    }
    list->curSel = index;
    return index;
}

void WindowModel::SetRange(ModelWindow* upDown, int lower, int upper) {
    upDown->lower = lower;
    upDown->upper = upper;
    const int low = std::min(lower, upper);
    const int high = std::max(lower, upper);
    upDown->position = std::clamp(upDown->position, low, high);
}

int WindowModel::InsertTab(ModelWindow* tab, int index, const std::string& title) {
    const int count = static_cast<int>(tab->tabs.size());
    index = std::clamp(index, 0, count);
    tab->tabs.insert(tab->tabs.begin() + index, title);
    if (tab->curTab < 0) {
        tab->curTab = 0;
    } else if (index <= tab->curTab) {
        ++tab->curTab;
    }
    return index;
}

int WindowModel::SetCurTab(ModelWindow* tab, int index) {
    if (index < 0 || index >= static_cast<int>(tab->tabs.size())) {
        return -1;
    }
    const int previous = tab->curTab;
    tab->curTab = index;
    return previous;
}

// --- image lists -----------------------------------------------------------------------

ModelImageList* WindowModel::CreateImageList(const FoundBitmap& bitmap, int imageWidth,
                                             uint32_t mask) {
    if (bitmap.bitmap == nullptr || imageWidth <= 0) {
        return nullptr;
    }
    auto images = std::make_unique<ModelImageList>();
    images->imageWidth = imageWidth;
    images->count = bitmap.bitmap->width / imageWidth; // whole images only
    images->maskColor = mask;
    imageLists_.push_back(std::move(images));
    return imageLists_.back().get();
}

ModelImageList* WindowModel::ImageList(ImageListHandle handle) const {
    for (const auto& images : imageLists_) {
        if (images.get() == handle) {
            return images.get();
        }
    }
    return nullptr;
}

void WindowModel::DestroyImageList(ModelImageList* images) {
    for (const auto& dialog : dialogs_) {
        std::vector<ModelWindow*> windows{dialog.get()};
        while (!windows.empty()) {
            ModelWindow* window = windows.back();
            windows.pop_back();
            if (window->imageList == images) {
                window->imageList = nullptr;
            }
            for (auto& control : window->controls) {
                windows.push_back(control.get());
            }
        }
    }
    std::erase_if(imageLists_, [images](const auto& entry) { return entry.get() == images; });
}

std::string WindowModel::UpperCaseCp949(const std::string& text) {
    std::string result = text;
    for (size_t at = 0; at < result.size(); ++at) {
        const auto byte = static_cast<unsigned char>(result[at]);
        if (byte >= 0x81) {
            ++at; // a lead byte: its trail byte may look like a letter
        } else if (byte >= 'a' && byte <= 'z') {
            result[at] = static_cast<char>(byte - 'a' + 'A');
        }
    }
    return result;
}

} // namespace ui
