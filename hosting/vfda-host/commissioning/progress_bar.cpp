#include "progress_bar.h"

#include "console_output.h"
#include "platform/console_stream.h"
#include "text_output.h"

#include <algorithm>

namespace vfdahost {
namespace {

constexpr size_t kBarWidth = 30;
// Labels are cut so the line fits a narrow terminal.
constexpr size_t kMostLabel = 30;

// The bytes of the UTF-8 character that starts with `lead` (1 for a stray byte, which
// TextForPeople never leaves).
size_t CharacterLength(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

uint32_t CodePoint(const std::string& text, size_t at, size_t length) {
    static constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    uint32_t point = static_cast<unsigned char>(text[at]) & kLeadMask[length];
    for (size_t i = 1; i < length; ++i) {
        point = (point << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3Fu);
    }
    return point;
}

// Columns a terminal gives a character: two for Hangul and the other East Asian wide ones.
size_t Columns(uint32_t point) {
    const bool wide =
        (point >= 0x1100 && point <= 0x115F) || (point >= 0x2E80 && point <= 0xA4CF) ||
        (point >= 0xAC00 && point <= 0xD7A3) || (point >= 0xF900 && point <= 0xFAFF) ||
        (point >= 0xFE30 && point <= 0xFE4F) || (point >= 0xFF00 && point <= 0xFF60) ||
        (point >= 0xFFE0 && point <= 0xFFE6);
    return wide ? 2 : 1;
}

// A label safe for a terminal (controls escaped as the events escape them), cut on a
// character boundary to at most `most` columns; `width` gets the columns it takes.
std::string TerminalLabel(const std::string& label, size_t most, size_t& width) {
    const std::string text = TextForPeople(label);
    width = 0;
    size_t at = 0;
    while (at < text.size()) {
        const size_t length =
            std::min(CharacterLength(static_cast<unsigned char>(text[at])), text.size() - at);
        const size_t columns = Columns(CodePoint(text, at, length));
        if (width + columns > most) {
            break;
        }
        width += columns;
        at += length;
    }
    return text.substr(0, at);
}

} // namespace

ProgressBar::ProgressBar(bool shown, std::FILE* out) : shown_(shown), out_(out) {}

ProgressBar::~ProgressBar() {
    Clear();
}

bool ProgressBar::Wanted(OutputForm form) {
    return form == OutputForm::Text && platform::IsTerminal(platform::StandardStream::Error);
}

std::string ProgressBar::Render(const std::string& label, size_t done, size_t total) {
    size_t columns = 0;
    return Render(label, done, total, columns);
}

std::string ProgressBar::Render(const std::string& label, size_t done, size_t total,
                                size_t& columns) {
    const size_t shownDone = std::min(done, total);
    const size_t filled = total == 0 ? kBarWidth : shownDone * kBarWidth / total;
    const std::string count = std::to_string(shownDone) + "/" + std::to_string(total);
    size_t labelColumns = 0;
    const std::string tail =
        " [" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] " + count;
    std::string line = TerminalLabel(label, kMostLabel, labelColumns) + tail;
    columns = labelColumns + tail.size();
    return line;
}

void ProgressBar::Show(const std::string& label, size_t done, size_t total) {
    if (!shown_) {
        return;
    }
    size_t columns = 0;
    const std::string line = Render(label, done, total, columns);
    // A shorter line than the last one blanks what would be left of it.
    const size_t blank = drawnWidth_ > columns ? drawnWidth_ - columns : 0;
    OutputFormatted(out_, "\r%s%s", line.c_str(), std::string(blank, ' ').c_str());
    std::fflush(out_);
    drawnWidth_ = columns + blank;
}

void ProgressBar::Clear() {
    if (!shown_ || drawnWidth_ == 0) {
        return;
    }
    OutputFormatted(out_, "\r%s\r", std::string(drawnWidth_, ' ').c_str());
    std::fflush(out_);
    drawnWidth_ = 0;
}

} // namespace vfdahost
