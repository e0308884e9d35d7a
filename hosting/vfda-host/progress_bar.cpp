#include "progress_bar.h"

#include "platform/console_stream.h"

#include <algorithm>

namespace vfdahost {
namespace {

constexpr size_t kBarWidth = 30;
// Labels are cut so the line fits a narrow terminal.
constexpr size_t kMostLabel = 30;

} // namespace

ProgressBar::ProgressBar(bool shown, std::FILE* out) : shown_(shown), out_(out) {}

ProgressBar::~ProgressBar() {
    Clear();
}

bool ProgressBar::Wanted(OutputForm form) {
    return form == OutputForm::Text && platform::IsTerminal(platform::StandardStream::Error);
}

std::string ProgressBar::Render(const std::string& label, size_t done, size_t total) {
    const size_t shownDone = std::min(done, total);
    const size_t filled = total == 0 ? kBarWidth : shownDone * kBarWidth / total;
    const std::string count = std::to_string(shownDone) + "/" + std::to_string(total);
    return label.substr(0, kMostLabel) + " [" + std::string(filled, '#') +
           std::string(kBarWidth - filled, '.') + "] " + count;
}

void ProgressBar::Show(const std::string& label, size_t done, size_t total) {
    if (!shown_) {
        return;
    }
    const std::string line = Render(label, done, total);
    // A shorter line than the last one blanks what would be left of it.
    const size_t blank = drawnWidth_ > line.size() ? drawnWidth_ - line.size() : 0;
    std::fprintf(out_, "\r%s%s", line.c_str(), std::string(blank, ' ').c_str());
    std::fflush(out_);
    drawnWidth_ = line.size() + blank;
}

void ProgressBar::Clear() {
    if (!shown_ || drawnWidth_ == 0) {
        return;
    }
    std::fprintf(out_, "\r%s\r", std::string(drawnWidth_, ' ').c_str());
    std::fflush(out_);
    drawnWidth_ = 0;
}

} // namespace vfdahost
