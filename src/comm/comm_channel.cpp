#include "comm/comm_channel.h"

#include "comm/tag_address.h"
#include "comm/tag_binding.h"
#include "config/serial_port.h"
#include "config/station_info.h"
#include "host/vemor_sub.h"

namespace {

constexpr size_t kHandleIndexLimit = 0x10000;

void DestroyChannel(CCommChannel* channel) {
    delete channel;
}

} // namespace

OwnedChannel CCommChannel::Create(CVfdaDrvDoc& owner) {
    return OwnedChannel(new CCommChannel(owner), &DestroyChannel);
}

CCommChannel::CCommChannel(CVfdaDrvDoc& owner)
    : m_rtsCts((owner.SerialPort().m_options & CSerialPort::kOptionRtsCts) != 0 ? 1 : 0),
      m_owner(owner) {
    m_spareBatches.reserve(kSpareBatches);
}

// Threads still running are stopped first; then the link closes; blocks go before the
// batches whose requests point at them.
CCommChannel::~CCommChannel() {
    Stop();
    m_link.reset();
    m_blocks.clear();
    m_currentBatch.reset();
    m_pendingBatch.reset();
    m_values.Discard();
}

int32_t CCommChannel::RegisterBinding(CStationInfo& station, uint16_t area, int32_t number,
                                      TagBinding binding) {
    m_pollThreadOwner.Check();
    size_t blockIndex = 0;
    while (blockIndex < m_blocks.size() &&
           (&m_blocks[blockIndex]->Station() != &station || m_blocks[blockIndex]->Area() != area)) {
        ++blockIndex;
    }
    // Indices wider than 16 bits would alias another tag's handle; the last handle of all
    // would read as the failure value -1.
    const bool newBlock = blockIndex == m_blocks.size();
    const size_t bindingIndex = newBlock ? 0 : m_blocks[blockIndex]->BindingCount();
    if (blockIndex >= kHandleIndexLimit || bindingIndex >= kHandleIndexLimit - 1) {
        return kNoHandle;
    }
    if (newBlock) {
        m_blocks.push_back(std::make_unique<CCommBlock>(*this, m_values, station, area));
    }
    binding.parameterNumber = static_cast<uint16_t>(number);
    m_blocks[blockIndex]->AddBinding(binding);
    return static_cast<int32_t>((blockIndex << 16) | bindingIndex);
}

CCommBlock* CCommChannel::FindBlock(const CStationInfo& station, uint16_t area) const {
    for (const auto& block : m_blocks) {
        if (block->Area() == area && &block->Station() == &station) {
            return block.get();
        }
    }
    return nullptr;
}

CCommBlock* CCommChannel::FindPBlock(const CStationInfo& station) const {
    return FindBlock(station, comm::kAreaP);
}

void CCommChannel::ForgetDriveWords(const CStationInfo* station) {
    for (const auto& block : m_blocks) {
        if (block->Area() == comm::kAreaD && (station == nullptr || &block->Station() == station)) {
            block->ForgetWords();
        }
    }
}

void CCommChannel::BuildPollMasks() {
    m_pollThreadOwner.Check();
    for (const auto& block : m_blocks) {
        block->BuildPollMask();
    }
}

CCommBlock* CCommChannel::Block(size_t index) const {
    return index < m_blocks.size() ? m_blocks[index].get() : nullptr;
}

void CCommChannel::QueueRequest(CCommBlock& block, char command, int32_t parameter,
                                uint16_t value) {
    QueueRequests({CCommRequest(block, command, parameter, value)});
}

void CCommChannel::QueueRequests(std::initializer_list<CCommRequest> requests) {
    std::lock_guard guard(m_batchLock);
    if (m_pendingBatch == nullptr && !m_spareBatches.empty()) {
        m_pendingBatch = std::move(m_spareBatches.back());
        m_spareBatches.pop_back();
    }
    if (m_pendingBatch == nullptr) {
        m_pendingBatch = std::make_unique<CRequestBatch>();
    }
    for (const CCommRequest& request : requests) {
        m_pendingBatch->Append(request);
    }
}

bool CCommChannel::ServiceBatch() {
    m_pollThreadOwner.Check();
    if (m_currentBatch == nullptr) {
        std::lock_guard guard(m_batchLock);
        m_currentBatch = std::move(m_pendingBatch);
    }
    if (m_currentBatch == nullptr) {
        return false;
    }
    if (m_link != nullptr) {
        if (std::optional<CCommRequest> ahead = TakeAheadOfRangeRead()) {
            Execute(*ahead);
            return true;
        }
        if (CCommRequest* next = m_currentBatch->TakeNext()) {
            Execute(*next);
            return true;
        }
    }
    // The exhausted batch is emptied and kept, with its room, for the next poll step.
    m_currentBatch->Clear();
    std::lock_guard guard(m_batchLock);
    if (m_spareBatches.size() < kSpareBatches) {
        m_spareBatches.push_back(std::move(m_currentBatch));
    }
    m_currentBatch.reset();
    return false;
}

void CCommChannel::Execute(CCommRequest& request) {
    if (request.Execute(*m_link)) {
        // Once the link is back, the drive's words are read again before a command carries
        // them.
        ForgetDriveWords(&request.Block().Station());
    }
}

// A range read of 81 parameters takes seconds; a stop command must not wait for it. The
// current batch's own requests were queued before the pending ones, so they come first.
std::optional<CCommRequest> CCommChannel::TakeAheadOfRangeRead() {
    if (!m_currentBatch->NextIsRangeRead()) {
        return std::nullopt;
    }
    if (std::optional<CCommRequest> ahead = m_currentBatch->TakeFirstNotRangeRead()) {
        return ahead;
    }
    std::lock_guard guard(m_batchLock);
    if (m_pendingBatch == nullptr) {
        return std::nullopt;
    }
    return m_pendingBatch->TakeFirstNotRangeRead();
}

void CCommChannel::DiscardRequests() {
    m_pollThreadOwner.Check();
    std::unique_ptr<CRequestBatch> pending;
    {
        std::lock_guard guard(m_batchLock);
        pending = std::move(m_pendingBatch);
    }
    m_currentBatch.reset();
}

size_t CCommChannel::PendingRequestCount() const {
    std::lock_guard guard(m_batchLock);
    return m_pendingBatch != nullptr ? m_pendingBatch->Count() : 0;
}

void CCommChannel::QueueBitChange(const TagBinding& binding, int bit) {
    comm::ValueChangeQueue::Appender(m_values).AddBit(binding, bit);
}

void CCommChannel::QueueValueChange(const TagBinding& binding, double value) {
    comm::ValueChangeQueue::Appender(m_values).AddValue(binding, value);
}

void CCommChannel::SignalValueChanges() {
    m_values.Signal();
}

bool CCommChannel::WaitForValueChanges(uint32_t timeoutMs) {
    return m_values.Wait(timeoutMs);
}

std::unique_ptr<CEventVal> CCommChannel::TakeValueChange() {
    return m_values.TakeOne();
}

void CCommChannel::TakeValueChanges(std::vector<CEventVal>& into) {
    m_values.TakeAll(into);
}

void CCommChannel::DiscardValueChanges() {
    m_values.Discard();
}

void CCommChannel::AttachLink(std::unique_ptr<comm::CommLink> link) {
    m_pollThreadOwner.Check();
    m_link = std::move(link);
}
