// The run-time side of one driver instance: its communication blocks, the queue of requests
// waiting for the line, the queue of value changes waiting for the host, and the link to the
// drives. Requests and value changes cross threads, each queue under its own lock.
//
// Threads, by method group:
// - Set-up (RegisterBinding, BuildPollMasks, AttachLink, OpenPort): the host's thread, only
//   while communication is stopped; blocks, bindings and the link are fixed while it runs.
//   Debug builds check that no poll thread runs.
// - StartStop and Stop: any host thread, one at a time (m_controlLock); never from the
//   channel's own threads.
// - QueueRequest(s), PendingRequestCount, the value-change queue, IsRunning, ForgetDriveWords
//   and the lookups (FindBlock, Block, BlockCount): any thread.
// - ServiceBatch: the poll thread while communication runs, else the host's thread (tests
//   and tools step it by hand while no thread runs). Debug builds check it.
// - DiscardRequests: only while no poll thread runs (a start does it before the threads).
#pragma once

#include "comm/comm_block.h"
#include "comm/comm_link.h"
#include "comm/request_batch.h"
#include "comm/request_queue.h"
#include "comm/thread_owner.h"
#include "comm/value_change_queue.h"
#include "config/vfda_drv_doc.h"
#include "host/vemor_sub.h"
#include "platform/event.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class CStationInfo;
struct TagBinding;

class CCommChannel : public comm::RequestQueue {
public:
    // Handle answered for a registration that could not be filed.
    static constexpr int32_t kNoHandle = -1;

    // A channel for the document, owned by it.
    static OwnedChannel Create(CVfdaDrvDoc& owner);

    explicit CCommChannel(CVfdaDrvDoc& owner);
    virtual ~CCommChannel();
    CCommChannel(const CCommChannel&) = delete;
    CCommChannel& operator=(const CCommChannel&) = delete;

    // Files the binding, with its parameter number, into the block of (station, area),
    // creating the block on first use. Returns block index x 65536 + binding index, or
    // kNoHandle when either index no longer fits its 16 bits.
    int32_t RegisterBinding(CStationInfo& station, uint16_t area, int32_t number,
                            TagBinding binding);
    // The first block of the station's area, or null.
    CCommBlock* FindBlock(const CStationInfo& station, uint16_t area) const;
    // The first P block of the station, or null.
    CCommBlock* FindPBlock(const CStationInfo& station) const;
    // Makes the D words of the station (of every station when null) unknown until the
    // drive reports them again.
    void ForgetDriveWords(const CStationInfo* station);
    // Recomputes the status groups every D block polls.
    void BuildPollMasks();
    size_t BlockCount() const { return m_blocks.size(); }
    // The block at the index, or null.
    CCommBlock* Block(size_t index) const;

    // Appends a request to the pending batch; callable from any thread.
    void QueueRequest(CCommBlock& block, char command, int32_t parameter, uint16_t value) override;
    // Appends the requests in order, with nothing queued between them.
    void QueueRequests(std::initializer_list<CCommRequest> requests);
    // One step of the poll thread: executes the next request of the current batch (true),
    // or retires an exhausted batch or finds nothing to do (false). A new current batch is
    // taken from the pending one only when there is none. While a range read is worked
    // through, every other request queued (a write, the read that goes with it) goes ahead
    // of its parameters not yet read, in the order those requests were queued.
    bool ServiceBatch();
    // Drops every request not yet executed.
    void DiscardRequests();
    // Requests waiting in the pending batch.
    size_t PendingRequestCount() const;

    // A value change for the host: a digital tag's bit (0 or 1), or any other tag's value.
    void QueueBitChange(const TagBinding& binding, int bit);
    void QueueValueChange(const TagBinding& binding, double value);
    // Wakes the delivery side; a wake-up given while nobody waits is kept for the next wait.
    void SignalValueChanges();
    // Waits at most timeoutMs for a wake-up; true when one came.
    bool WaitForValueChanges(uint32_t timeoutMs);
    // The oldest value change, or null when none waits.
    std::unique_ptr<CEventVal> TakeValueChange();
    // Moves every waiting value change, oldest first, into `into` (emptied first); both
    // lists keep their room for the next time.
    void TakeValueChanges(std::vector<CEventVal>& into);
    // Drops every value change not yet delivered.
    void DiscardValueChanges();

    // Opens and configures the document's COM port (messages 3 or 4); 0, or the result of
    // logging message 4.
    int OpenPort();
    // Starts (non-zero) or stops (0) communication; a request for the present state does
    // nothing. A start clears both queues and, with an open port, starts the poll and the
    // delivery thread (message 1).
    void StartStop(int32_t requested);
    // Ends both threads and logs message 2 when communication runs; returns 0. Returns only
    // after both threads have ended, within the bound of one transaction.
    int Stop();

    // The link to the drives: none until the port is open.
    void AttachLink(std::unique_ptr<comm::CommLink> link);
    comm::CommLink* Link() const { return m_link.get(); }
    bool IsPortOpen() const { return m_link != nullptr; }

    bool IsRunning() const { return m_running.load() != 0; }
    // 1 when the line runs with the RTS/CTS handshake, taken from the settings at creation.
    int32_t RtsCts() const { return m_rtsCts; }
    CVfdaDrvDoc& Owner() const { return m_owner; }

private:
    static constexpr uint32_t kRequestPauseMs = 100;
    static constexpr uint32_t kMinimumPassMs = 100;
    static constexpr uint32_t kDeliveryWaitMs = 3000;

    // Executes one request; a station whose link is now lost has its drive words forgotten.
    void Execute(CCommRequest& request);
    // Runs a thread's body; an exception ends communication instead of the process.
    void GuardedThread(void (CCommChannel::*body)());
    void PollThread();
    // The next request that goes ahead of the current batch's range read, or none.
    std::optional<CCommRequest> TakeAheadOfRangeRead();
    void PollStepOrSkip(CCommBlock& block);
    void DeliveryThread();
    void DeliverWaitingChanges();
    void JoinThreads();
    // Sleeps for the line's pacing; a stop cuts it short.
    void Pause(uint32_t milliseconds);

    comm::ValueChangeQueue m_values;
    std::atomic<int32_t> m_running{0};
    int32_t m_rtsCts;
    std::vector<std::unique_ptr<CCommBlock>> m_blocks;
    // Owned by the poll thread while communication runs.
    std::unique_ptr<CRequestBatch> m_currentBatch;
    std::unique_ptr<CRequestBatch> m_pendingBatch; // guarded by m_batchLock
    // Emptied batches kept for the next ones, so batches are not allocated anew: one is
    // executing while the next fills, so two are enough.
    static constexpr size_t kSpareBatches = 2;
    std::vector<std::unique_ptr<CRequestBatch>> m_spareBatches; // guarded by m_batchLock
    // The delivery thread's own: the changes it is handing to the host.
    std::vector<CEventVal> m_delivering;
    std::unique_ptr<comm::CommLink> m_link;
    CVfdaDrvDoc& m_owner;
    mutable std::mutex m_batchLock;
    // Start and stop may come from several host threads; one at a time.
    std::mutex m_controlLock;
    platform::AutoResetEvent m_stopEvent;
    std::thread m_pollThread;
    std::thread m_deliveryThread;
    // The poll thread while it runs: it alone steps the batches then, and nobody changes
    // the set-up.
    comm::ThreadOwner m_pollThreadOwner;
};
