// Drives the dialogs of another thread the way a user would, through window messages:
// finds the active modal window, types into edit fields, clicks buttons, reads message
// boxes, and saves screenshots. Every wait is bounded; failures are collected as texts for
// the test thread to report.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace windows_tests {

// The editor's texts as the dialogs show them.
namespace texts {
inline constexpr wchar_t kSettingsCaption[] = L"DELTA VFD-A Series Motor Driver 설정";
inline constexpr wchar_t kStationCaption[] = L"스테이션 설정";
inline constexpr wchar_t kNameMissing[] = L"스테이션 이름이 설정되지 않았습니다.";
inline constexpr wchar_t kSaveQuestion[] = L"데이터가 변경되었습니다.  저장하시겠습니까?";
} // namespace texts

class DialogDriver {
public:
    // uiThread: the thread that runs the modal loops; screenshots go to VFDA_SCREENSHOTS.
    explicit DialogDriver(DWORD uiThread);

    // The enabled, visible dialog window of the UI thread (the innermost modal one) with
    // this caption; null after the bounded wait (and a failure is recorded).
    HWND WaitForDialog(const std::wstring& caption);
    // The innermost modal window, whatever its caption (message boxes).
    HWND WaitForModal(HWND notThis);
    bool WaitUntilGone(HWND window);
    bool WaitUntilDisabled(HWND window);

    // Controls are found in the dialog and in its pages.
    void Type(HWND dialog, int controlId, const std::wstring& text); // key by key
    void Click(HWND dialog, int controlId); // a posted click: a nested modal loop may follow
    std::wstring Text(HWND dialog, int controlId);
    // Every entry of a drop-down list, in order.
    std::vector<std::wstring> ListEntries(HWND dialog, int controlId);
    // Chooses a tab as a click on it would: the changing and changed notifications.
    void ChooseTab(HWND dialog, int tabControlId, int index);
    // The text of a message box.
    std::wstring MessageText(HWND box);

    // Paints the window and saves it as NAME.bmp (nothing without VFDA_SCREENSHOTS).
    void Screenshot(HWND window, const std::string& name);
    // Cancels every dialog and message box still open, so the UI thread's loops end.
    void CloseEverything();

    void Fail(const std::string& what) { failures_.push_back(what); }
    const std::vector<std::string>& Failures() const { return failures_; }

private:
    HWND FindModal(const std::wstring* caption, HWND notThis) const;

    DWORD uiThread_;
    std::wstring screenshotFolder_;
    std::vector<std::string> failures_;
};

std::string Narrow(const std::wstring& text); // UTF-8, for failure texts
std::string Cp949(const std::wstring& text);  // the module's bytes

} // namespace windows_tests
