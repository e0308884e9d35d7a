// One transaction for each command letter: a request as the driver builds it (letter,
// parameter, value, station number taken from the input) and an answer of 11 arbitrary
// bytes, checked, decoded and handed to tags of every kind, counted and supervised.
#include "fuzz_support.h"

#include "comm/comm_block.h"
#include "comm/comm_channel.h"
#include "comm/comm_link.h"
#include "comm/comm_request.h"
#include "comm/tag_registration.h"

#include <array>
#include <cstring>

namespace {

constexpr uint16_t kAnalog = 1;
constexpr uint16_t kDigital = 13;
constexpr char kLetters[] = {'R', 'Q', 'P', 'C'};

// Answers every request with the input's bytes, or fails as the input says.
class AnswerLink : public comm::CommLink {
public:
    int sendResult = 0;
    int receiveResult = 0;
    std::array<uint8_t, CCommRequest::kAnswerLength> answer{};

    int SendFrame(const uint8_t*, size_t) override { return sendResult; }
    int ReceiveFrame(uint8_t* out, size_t count, uint8_t) override {
        std::memcpy(out, answer.data(), std::min(count, answer.size()));
        return receiveResult;
    }
};

struct Line {
    std::unique_ptr<CVfdaDrvDoc> document = fuzzing::MakeDocument({"PUMP%s1"});
    CCommBlock* parameters = nullptr;
    CCommBlock* monitor = nullptr;

    Line() {
        CCommChannel& channel = *document->Channel();
        uint32_t id = 1;
        for (int number = 0; number <= 80; ++number) {
            comm::RegisterTag(channel, "X.PUMP%s1", ("P" + std::to_string(number)).c_str(), kAnalog,
                              0, id++);
        }
        for (int number = 0; number <= 6; ++number) {
            const std::string word = "D" + std::to_string(number);
            comm::RegisterTag(channel, "PUMP%s1", word.c_str(), kAnalog, 0, id++);
            for (int bit = 0; bit < 16; bit += 5) {
                comm::RegisterTag(channel, "PUMP%s1", (word + "." + std::to_string(bit)).c_str(),
                                  kDigital, 0, id++);
            }
        }
        comm::RegisterTag(channel, "PUMP%s1", "C1", kAnalog, 0, id++);
        parameters = channel.Block(0);
        monitor = channel.Block(1);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Line line;
    fuzzing::ResetHost();
    fuzzing::InputReader input(data, size);

    const char letter = kLetters[input.Byte() % 4];
    const uint16_t word = input.Word();
    const uint16_t value = input.Word();
    CStationInfo& station = line.parameters->Station();
    station.m_stationNumber = static_cast<int32_t>(input.Word()) - 1000;
    station.ResetRuntime();

    // The parameters each letter can carry, as the driver's own code queues them.
    int32_t parameter = word;
    CCommBlock* block = line.monitor;
    if (letter == 'R' || letter == 'P') {
        parameter = word % 81;
        block = line.parameters;
    } else if (letter == 'Q') {
        parameter = word % 4;
    }

    AnswerLink link;
    const uint8_t outcome = input.Byte();
    link.sendResult = outcome == 1 ? 8 : 0;
    link.receiveResult = outcome == 2 ? 9 : outcome == 3 ? 10 : 0;
    input.Copy(link.answer.data(), link.answer.size());

    CCommRequest request(*block, letter, parameter, value);
    request.Execute(link);
    // The check on its own too, with a frame the request formats.
    uint8_t answer[CCommRequest::kAnswerBufferSize] = {};
    std::memcpy(answer, link.answer.data(), link.answer.size());
    request.CheckAnswer(answer, request.FormatFrame());

    fuzzing::DrainValueChanges(*line.document->Channel());
    return 0;
}
