#include "dialog_driver.h"

#include "wait_for.h"

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>

namespace windows_tests {
namespace {

constexpr int kPatienceMs = 15000;
constexpr int kMessageTextId = 0xFFFF; // the text of a message box

bool WaitFor(const std::function<bool()>& condition) {
    return testing_support::WaitFor(condition, kPatienceMs, 20);
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

bool IsDialogWindow(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return std::wstring(name) == L"#32770";
}

struct Search {
    const std::wstring* caption;
    HWND notThis;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<Search*>(context);
    if (window == search.notThis || !IsDialogWindow(window) || !IsWindowVisible(window) ||
        !IsWindowEnabled(window)) {
        return TRUE;
    }
    if (search.caption != nullptr && WindowText(window) != *search.caption) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK VisitControl(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<ControlSearch*>(context);
    if (GetDlgCtrlID(window) == search.id && IsWindowVisible(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

// A control of the dialog or of one of its pages (the visible one first).
HWND FindControl(HWND dialog, int id) {
    ControlSearch search{id, nullptr};
    EnumChildWindows(dialog, VisitControl, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr ? search.found : GetDlgItem(dialog, id);
}

void WriteBitmap(const std::wstring& path, int width, int height, const void* pixels) {
    const DWORD rowBytes = static_cast<DWORD>(width) * 4;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = -height; // top row first
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + rowBytes * static_cast<DWORD>(height);
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (out == nullptr) {
        return;
    }
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info, sizeof(info), 1, out);
    std::fwrite(pixels, rowBytes, static_cast<size_t>(height), out);
    std::fclose(out);
}

std::string Encode(UINT codePage, const std::wstring& text) {
    const int length = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}

} // namespace

std::string Narrow(const std::wstring& text) {
    return Encode(CP_UTF8, text);
}

std::string Cp949(const std::wstring& text) {
    return Encode(949, text);
}

DialogDriver::DialogDriver(DWORD uiThread) : uiThread_(uiThread) {
    if (const wchar_t* folder = _wgetenv(L"VFDA_SCREENSHOTS")) {
        screenshotFolder_ = folder;
    }
}

HWND DialogDriver::FindModal(const std::wstring* caption, HWND notThis) const {
    Search search{caption, notThis, nullptr};
    EnumThreadWindows(uiThread_, Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND DialogDriver::WaitForDialog(const std::wstring& caption) {
    std::fprintf(stderr, "driver: waiting for %s\n", Narrow(caption).c_str());
    HWND found = nullptr;
    if (!WaitFor([&] { return (found = FindModal(&caption, nullptr)) != nullptr; })) {
        Fail("no dialog \"" + Narrow(caption) + "\" appeared");
    }
    return found;
}

HWND DialogDriver::WaitForModal(HWND notThis) {
    HWND found = nullptr;
    if (!WaitFor([&] { return (found = FindModal(nullptr, notThis)) != nullptr; })) {
        Fail("no message box appeared");
    }
    return found;
}

bool DialogDriver::WaitUntilGone(HWND window) {
    if (!WaitFor([&] { return !IsWindow(window); })) {
        Fail("the window \"" + Narrow(WindowText(window)) + "\" stayed open");
        return false;
    }
    return true;
}

bool DialogDriver::WaitUntilDisabled(HWND window) {
    return WaitFor([&] { return !IsWindowEnabled(window); });
}

void DialogDriver::Type(HWND dialog, int controlId, const std::wstring& text) {
    HWND edit = FindControl(dialog, controlId);
    if (edit == nullptr) {
        Fail("no control " + std::to_string(controlId) + " to type into");
        return;
    }
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_CHAR, VK_BACK, 1);
    for (wchar_t key : text) {
        SendMessageW(edit, WM_CHAR, key, 1);
    }
}

void DialogDriver::Click(HWND dialog, int controlId) {
    std::fprintf(stderr, "driver: click %d\n", controlId);
    HWND button = FindControl(dialog, controlId);
    if (button == nullptr || !IsWindowEnabled(button)) {
        Fail("control " + std::to_string(controlId) + " cannot be clicked");
        return;
    }
    PostMessageW(button, BM_CLICK, 0, 0);
}

std::wstring DialogDriver::Text(HWND dialog, int controlId) {
    return WindowText(FindControl(dialog, controlId));
}

std::vector<std::wstring> DialogDriver::ListEntries(HWND dialog, int controlId) {
    HWND list = FindControl(dialog, controlId);
    std::vector<std::wstring> entries;
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, index, 0);
        if (length < 0) {
            break;
        }
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        entries.push_back(text);
    }
    return entries;
}

void DialogDriver::ChooseTab(HWND dialog, int tabControlId, int index) {
    HWND tabs = GetDlgItem(dialog, tabControlId);
    if (tabs == nullptr) {
        Fail("no tab control " + std::to_string(tabControlId));
        return;
    }
    NMHDR header{tabs, static_cast<UINT_PTR>(tabControlId), 0};
    header.code = static_cast<UINT>(TCN_SELCHANGING);
    SendMessageW(dialog, WM_NOTIFY, tabControlId, reinterpret_cast<LPARAM>(&header));
    SendMessageW(tabs, TCM_SETCURSEL, index, 0);
    header.code = static_cast<UINT>(TCN_SELCHANGE);
    SendMessageW(dialog, WM_NOTIFY, tabControlId, reinterpret_cast<LPARAM>(&header));
}

std::wstring DialogDriver::MessageText(HWND box) {
    return Text(box, kMessageTextId);
}

void DialogDriver::Screenshot(HWND window, const std::string& name) {
    std::fprintf(stderr, "driver: screenshot %s\n", name.c_str());
    if (screenshotFolder_.empty() || window == nullptr) {
        return;
    }
    // Painted by the UI thread before the copy is taken.
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
    RECT frame = {};
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pixels = nullptr;
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
    GdiFlush();
    std::wstring path = screenshotFolder_ + L"\\";
    path += std::wstring(name.begin(), name.end()) + L".bmp";
    WriteBitmap(path, width, height, pixels);
    SelectObject(memory, previous);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

void DialogDriver::CloseEverything() {
    WaitFor([&] {
        HWND modal = FindModal(nullptr, nullptr);
        if (modal == nullptr) {
            return true;
        }
        // A question is answered No, anything else cancelled.
        const int answer = GetDlgItem(modal, IDNO) != nullptr ? IDNO : IDCANCEL;
        PostMessageW(modal, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return false;
    });
}

} // namespace windows_tests
