#include "input_lines.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <iostream>
#include <mutex>
#include <thread>

namespace vfdahost {
namespace {

// Lines typed ahead of the run wait here; the reader pauses while it is full.
constexpr size_t kMaxQueuedLines = 256;
constexpr auto kFullQueuePause = std::chrono::milliseconds(100);

} // namespace

struct InputLines::Queue {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<InputLine> lines;
    bool ended = false;
    bool abandoned = false; // the run is over: the reader drops what it reads

    void Push(InputLine line) {
        std::unique_lock guard(lock);
        while (lines.size() >= kMaxQueuedLines && !abandoned) {
            changed.wait_for(guard, kFullQueuePause);
        }
        if (!abandoned) {
            lines.push_back(std::move(line));
        }
        changed.notify_all();
    }

    void End() {
        std::lock_guard guard(lock);
        ended = true;
        changed.notify_all();
    }
};

namespace {

// Reads one line of at most kMaxInputLine bytes; false at the end of input with nothing read.
bool ReadLine(InputLine& line) {
    line = InputLine{InputLine::Kind::Line, {}};
    bool any = false;
    for (int c = std::cin.get(); c != std::char_traits<char>::eof(); c = std::cin.get()) {
        any = true;
        if (c == '\n') {
            break;
        }
        if (line.text.size() == kMaxInputLine) {
            line.kind = InputLine::Kind::TooLong; // the rest is read and dropped
        } else {
            line.text += static_cast<char>(c);
        }
    }
    if (line.kind == InputLine::Kind::TooLong) {
        line.text.clear();
    }
    return any;
}

} // namespace

void InputLines::ReadAll(std::shared_ptr<Queue> queue) {
    InputLine line;
    while (ReadLine(line)) {
        queue->Push(std::move(line));
    }
    queue->End();
}

InputLines::InputLines() : queue_(std::make_shared<Queue>()) {
    std::thread(ReadAll, queue_).detach();
}

InputLines::~InputLines() {
    std::lock_guard guard(queue_->lock);
    queue_->abandoned = true;
    queue_->lines.clear();
    queue_->changed.notify_all();
}

InputLine InputLines::Next(uint32_t timeoutMs) {
    std::unique_lock guard(queue_->lock);
    queue_->changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                             [this] { return !queue_->lines.empty() || queue_->ended; });
    if (!queue_->lines.empty()) {
        InputLine line = std::move(queue_->lines.front());
        queue_->lines.pop_front();
        queue_->changed.notify_all();
        return line;
    }
    return InputLine{queue_->ended ? InputLine::Kind::Ended : InputLine::Kind::NoneYet, {}};
}

} // namespace vfdahost
