#include "comm/tag_write.h"

#include "comm/comm_block.h"
#include "comm/comm_channel.h"
#include "comm/comm_request.h"
#include "comm/frame_codec.h"
#include "comm/scaled_parameters.h"
#include "comm/tag_address.h"
#include "config/station_info.h"
#include "host/vemor_sub.h"
#include "host_link/host_binding.h"
#include "host_link/message_log.h"

#include <cmath>
#include <optional>
#include <string>

namespace comm {
namespace {

constexpr int kNotWritable = 17;
constexpr uint16_t kFrequencyWord = 0; // D0
constexpr uint16_t kCommandWord = 3;   // D3
constexpr uint16_t kRangeReadWord = 0; // C0
constexpr uint16_t kRangeFirstWord = 1;
constexpr uint16_t kRangeCountWord = 2;

int RefuseWrite(const TagBinding& binding) {
    const std::string name = driver::HostBinding::Instance().GetTagName(binding.tagId);
    return driver::LogMessage(kNotWritable, driver::kTransactionFailure, name.c_str());
}

// The host's half of a run command as a raw word, or nothing when the drive could not be
// sent it: a value the raw word would wrap (negative, far too large, not a number), or one
// outside its field.
std::optional<uint16_t> WrittenHalf(bool frequency, double value) {
    const double scaled = frequency ? value * 10.0 : value;
    if (!std::isfinite(scaled) || scaled <= -1.0 || scaled >= 65536.0) {
        return std::nullopt;
    }
    const uint16_t raw =
        frequency ? ToRawValue(kAreaD, kFrequencyWord, value) : RawFromValue(value);
    const bool fits = frequency ? IsRunCommandSendable(0, raw) : IsRunCommandSendable(raw, 0);
    return fits ? std::optional<uint16_t>(raw) : std::nullopt;
}

// The drive takes D0 and D3 together in one run command. The host's half is the written
// value; the other half is the drive's own word, as the drive reported it in this run,
// put in when the command is executed. A word not known yet, or not polled, is read right
// before it.
int WriteDriveWord(CCommChannel& channel, CCommBlock& block, const TagBinding& binding,
                   double value) {
    const bool frequency = binding.parameterNumber == kFrequencyWord;
    if (!frequency && binding.parameterNumber != kCommandWord) {
        return RefuseWrite(binding);
    }
    const std::optional<uint16_t> written = WrittenHalf(frequency, value);
    if (!written) {
        return RefuseWrite(binding);
    }
    const CCommRequest command =
        frequency
            ? CCommRequest::RunCommand(block, CCommRequest::DrivesHalf::CommandWord, 0, *written)
            : CCommRequest::RunCommand(block, CCommRequest::DrivesHalf::Frequency, *written, 0);
    const uint16_t drivesWord = frequency ? kCommandWord : kFrequencyWord;
    if (!block.PollsWord(drivesWord)) {
        // Nothing keeps it current: the drive's panel may have changed it since it was read.
        block.ForgetWord(drivesWord);
    }
    if (block.KnownWord(drivesWord)) {
        channel.QueueRequests({command});
    } else {
        const CCommRequest read(block, kLetterQueryGroup, CCommBlock::StatusGroupOf(drivesWord), 0);
        channel.QueueRequests({read, command});
    }
    return 0;
}

// C1 and C2 are words kept by the driver; C0 reads the P parameters they name.
int WriteDriverWord(const CCommChannel& channel, CCommBlock& block, const TagBinding& binding,
                    double value) {
    if (binding.parameterNumber == kRangeReadWord) {
        if (CCommBlock* parameters = channel.FindPBlock(block.Station())) {
            parameters->RangeRead(block.CacheWord(kRangeFirstWord),
                                  block.CacheWord(kRangeCountWord));
        }
        return 0;
    }
    const uint16_t word = RawFromValue(value);
    block.SetCacheWord(binding.parameterNumber, word);
    driver::HostBinding::Instance().SetTagValue(binding.tagId, CTagVal(word));
    return 0;
}

} // namespace

int WriteTag(CCommChannel& channel, uint32_t handle, double value) {
    if (!channel.IsRunning()) {
        return 0; // writes are dropped, not kept for later
    }
    CCommBlock* block = channel.Block(handle >> 16);
    if (block == nullptr || block->Station().m_enabled == 0) {
        return 0;
    }
    const size_t bindingIndex = handle & 0xFFFF;
    if (bindingIndex >= block->BindingCount()) {
        return 0;
    }
    const TagBinding& binding = block->Binding(bindingIndex);
    if (binding.IsDigital()) {
        return RefuseWrite(binding);
    }
    switch (block->Area()) {
    case kAreaP:
        channel.QueueRequest(*block, kLetterWriteParameter, binding.parameterNumber,
                             ToRawValue(kAreaP, binding.parameterNumber, value));
        return 0;
    case kAreaD:
        return WriteDriveWord(channel, *block, binding, value);
    default:
        return WriteDriverWord(channel, *block, binding, value);
    }
}

} // namespace comm
