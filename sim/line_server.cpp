#include "sim/line_server.h"

#include "platform/clock.h"
#include "sim/wire_timing.h"

#include <algorithm>
#include <cstdio>

namespace sim {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr uint32_t kIdleReadMs = 20; // bounds the wait for request bytes
constexpr uint32_t kNoiseReadMs = 5; // between noise bursts
constexpr uint32_t kAnswerWriteMs = 200;
constexpr milliseconds kWaitSlice(10); // longest sleep between looks at the stop flag

} // namespace

LineServer::LineServer(Simulator& simulator, platform::TerminalLine& line, LineOptions options,
                       TickSource clock)
    : simulator_(simulator), line_(line), options_(std::move(options)),
      clock_(clock ? std::move(clock) : TickSource(platform::TickCount)),
      parser_(options_.frameGapMs), startedAt_(steady_clock::now()) {}

LineServer::~LineServer() {
    Stop();
}

void LineServer::Start() {
    if (thread_.joinable()) {
        return;
    }
    stopping_ = false;
    startedAt_ = steady_clock::now();
    thread_ = std::thread([this] { Run(); });
}

void LineServer::Stop() {
    stopping_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

LineCounters LineServer::Counters() const {
    LineCounters counters;
    counters.bytesReceived = bytesReceived_;
    counters.bytesSent = bytesSent_;
    counters.noiseBytesSent = noiseBytesSent_;
    counters.requests = requests_;
    counters.skippedBytes = skippedBytes_;
    counters.droppedFrames = droppedFrames_;
    counters.wrongBaudFrames = wrongBaudFrames_;
    counters.tapBytes = tapBytes_;
    counters.tapBytesDropped = tapBytesDropped_;
    return counters;
}

void LineServer::Run() {
    uint8_t buffer[256];
    while (!stopping_) {
        const bool noisy = simulator_.NoiseStreamOn();
        if (noisy) {
            SendNoise();
        }
        const long count = line_.Read(buffer, sizeof(buffer), noisy ? kNoiseReadMs : kIdleReadMs);
        if (count < 0) {
            platform::SleepMs(kIdleReadMs); // a failed device: try again, but do not spin
            continue;
        }
        if (count == 0) {
            parser_.Expire(clock_());
            droppedFrames_ = parser_.DroppedFrames();
            continue;
        }
        bytesReceived_ += static_cast<uint64_t>(count);
        Tap(buffer, static_cast<size_t>(count));
        Serve(std::span<const uint8_t>(buffer, static_cast<size_t>(count)), steady_clock::now());
    }
}

void LineServer::Serve(std::span<const uint8_t> bytes, SteadyTime receivedAt) {
    const uint64_t skippedBefore = parser_.SkippedBytes();
    const std::vector<Request> requests = parser_.Feed(bytes, clock_());
    skippedBytes_ = parser_.SkippedBytes();
    droppedFrames_ = parser_.DroppedFrames();
    if (parser_.SkippedBytes() != skippedBefore) {
        TraceText("skipped " + std::to_string(parser_.SkippedBytes() - skippedBefore) + " byte(s)");
    }
    for (const Request& request : requests) {
        ++requests_;
        const std::span<const uint8_t> received(request.bytes.data(), request.length);
        Observe(LineMoment::RequestReceived, received, receivedAt);
        Trace("rx", received);
        if (options_.matchBaud && line_.LineBaud() != StationBaud(request.station)) {
            ++wrongBaudFrames_;
            TraceText("not understood at " + std::to_string(line_.LineBaud()) + " baud");
            continue;
        }
        Answer(request, simulator_.Handle(request), receivedAt);
        if (stopping_) {
            return;
        }
    }
}

uint32_t LineServer::StationBaud(int station) const {
    const auto own = options_.stationBauds.find(station);
    return own == options_.stationBauds.end() ? options_.baud : own->second;
}

// A real drive starts to answer only once the whole request has crossed the line and its
// turnaround has passed; the answer then takes its own wire time.
void LineServer::Answer(const Request& request, const Reply& reply, SteadyTime receivedAt) {
    if (reply.bytes.empty()) {
        return;
    }
    SteadyTime answerAt = receivedAt + milliseconds(options_.turnaroundMs + reply.extraDelayMs);
    if (options_.wireTiming) {
        answerAt += WireTime(request.length, options_.baud);
    }
    if (!WaitUntil(answerAt)) {
        return;
    }
    Trace("tx", reply.bytes);
    Transmit(reply.bytes);
}

bool LineServer::WaitUntil(SteadyTime deadline) {
    while (!stopping_) {
        const SteadyTime now = steady_clock::now();
        if (now >= deadline) {
            return true;
        }
        std::this_thread::sleep_for(std::min<steady_clock::duration>(deadline - now, kWaitSlice));
    }
    return false;
}

void LineServer::Transmit(const std::vector<uint8_t>& bytes) {
    // Moments are taken just before a byte is handed over: the reader may run at once and
    // must never seem to act on a byte before it was there.
    if (!options_.wireTiming) {
        const SteadyTime handedAt = steady_clock::now();
        const size_t sent = line_.Write(bytes.data(), bytes.size(), kAnswerWriteMs);
        bytesSent_ += sent;
        Tap(bytes.data(), sent);
        if (sent > 0) {
            Observe(LineMoment::AnswerFirstByte, bytes, handedAt);
        }
        if (sent == bytes.size()) {
            Observe(LineMoment::AnswerLastByte, bytes, handedAt);
        }
        return;
    }
    const SteadyTime start = steady_clock::now();
    const auto characterTime = CharacterTime(options_.baud);
    // A receiver has a character once its stop bit is through.
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::this_thread::sleep_until(start + characterTime * static_cast<int64_t>(i + 1));
        const SteadyTime handedAt = steady_clock::now();
        if (line_.Write(&bytes[i], 1, kAnswerWriteMs) != 1) {
            return; // nobody takes the bytes: the rest of the answer is lost
        }
        ++bytesSent_;
        Tap(&bytes[i], 1);
        if (i == 0) {
            Observe(LineMoment::AnswerFirstByte, bytes, handedAt);
        }
        if (i + 1 == bytes.size()) {
            Observe(LineMoment::AnswerLastByte, bytes, handedAt);
        }
    }
}

// Noise fills the idle line: at wire speed as many characters as fit in a burst interval,
// otherwise one character per burst. Bytes the line cannot take at once are dropped.
void LineServer::SendNoise() {
    const std::span<const uint8_t> noise = NoiseBytes();
    size_t count = 1;
    const auto characterTime = CharacterTime(options_.baud);
    if (options_.wireTiming && characterTime.count() > 0) {
        const auto interval = std::chrono::microseconds(milliseconds(kNoiseReadMs));
        count = std::max<size_t>(1, static_cast<size_t>(interval / characterTime));
    }
    for (size_t i = 0; i < count; ++i) {
        const uint8_t byte = noise[noiseIndex_];
        noiseIndex_ = (noiseIndex_ + 1) % noise.size();
        if (line_.Write(&byte, 1, 0) != 1) {
            return;
        }
        ++noiseBytesSent_;
        Tap(&byte, 1);
    }
}

void LineServer::Tap(const uint8_t* bytes, size_t count) {
    if (options_.tap == nullptr || count == 0) {
        return;
    }
    const size_t taken = options_.tap->Write(bytes, count, 0);
    tapBytes_ += taken;
    tapBytesDropped_ += count - taken;
}

void LineServer::Observe(LineMoment moment, std::span<const uint8_t> bytes, SteadyTime at) {
    if (options_.observer) {
        options_.observer(moment, bytes, at);
    }
}

void LineServer::Trace(const char* direction, std::span<const uint8_t> bytes) {
    if (options_.trace) {
        TraceText(std::string(direction) + " " + ToHex(bytes));
    }
}

// Each trace line starts with the seconds since the server started.
void LineServer::TraceText(const std::string& text) {
    if (!options_.trace) {
        return;
    }
    const double seconds = std::chrono::duration<double>(steady_clock::now() - startedAt_).count();
    char stamp[32];
    std::snprintf(stamp, sizeof(stamp), "%10.3f", seconds);
    options_.trace(std::string(stamp) + " " + text);
}

} // namespace sim
