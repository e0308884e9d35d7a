#include "comm/tag_write.h"

#include "comm/comm_block.h"
#include "comm/comm_channel.h"
#include "comm/scaled_parameters.h"
#include "comm/tag_address.h"
#include "config/station_info.h"
#include "driver/host_binding.h"
#include "driver/message_log.h"
#include "host/vemor_sub.h"

namespace comm {
namespace {

constexpr int kNotWritable = 17;
constexpr char kWriteParameter = 'P';
constexpr char kRunCommand = 'C';
constexpr uint16_t kFrequencyWord = 0; // D0
constexpr uint16_t kCommandWord = 3;   // D3
constexpr uint16_t kRangeReadWord = 0; // C0
constexpr uint16_t kRangeFirstWord = 1;
constexpr uint16_t kRangeCountWord = 2;

int RefuseWrite(const TagBinding& binding) {
    const std::string name = driver::HostBinding::Instance().GetTagName(binding.tagId);
    return driver::LogMessage(kNotWritable, driver::kTransactionFailure, name.c_str());
}

// The drive takes D0 and D3 together in one run command; the other half is the drive's
// last reported word.
int WriteDriveWord(CCommBlock& block, const TagBinding& binding, double value) {
    CCommChannel& channel = block.Channel();
    if (binding.parameterNumber == kFrequencyWord) {
        channel.QueueRequest(block, kRunCommand, block.CacheWord(kCommandWord),
                             ToRawValue(kAreaD, kFrequencyWord, value));
        return 0;
    }
    if (binding.parameterNumber == kCommandWord) {
        channel.QueueRequest(block, kRunCommand, RawFromValue(value),
                             block.CacheWord(kFrequencyWord));
        return 0;
    }
    return RefuseWrite(binding);
}

// C1 and C2 are words kept by the driver; C0 reads the P parameters they name.
int WriteDriverWord(CCommBlock& block, const TagBinding& binding, double value) {
    if (binding.parameterNumber == kRangeReadWord) {
        if (CCommBlock* parameters = block.Channel().FindPBlock(block.Station())) {
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
        channel.QueueRequest(*block, kWriteParameter, binding.parameterNumber,
                             ToRawValue(kAreaP, binding.parameterNumber, value));
        return 0;
    case kAreaD:
        return WriteDriveWord(*block, binding, value);
    default:
        return WriteDriverWord(*block, binding, value);
    }
}

} // namespace comm
