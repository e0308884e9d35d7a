// The channel's two threads and their start and stop: the poll thread owns the line, the
// delivery thread hands received values to the host's tag database.
#include "comm/comm_channel.h"

#include "comm/serial_link.h"
#include "config/serial_port.h"
#include "host/vemor_sub.h"
#include "host_link/host_binding.h"
#include "host_link/message_log.h"
#include "platform/clock.h"
#include "platform/dynamic_library.h"

#include <new>

namespace {

constexpr int kCommunicationStarted = 1;
constexpr int kCommunicationEnded = 2;

// Any address inside the module, to tell the platform which library runs threads.
const int kModuleAnchor = 0;

} // namespace

int CCommChannel::OpenPort() {
    const CSerialPort& settings = m_owner.SerialPort();
    int result = 0;
    auto link = comm::SerialLink::OpenPort(settings.m_portIndex, settings.m_baudIndex,
                                           m_rtsCts != 0, result);
    if (link != nullptr) {
        AttachLink(std::move(link));
    }
    return result;
}

void CCommChannel::StartStop(int32_t requested) {
    std::lock_guard control(m_controlLock);
    const bool start = requested != 0;
    if (start == IsRunning()) {
        if (!start) {
            JoinThreads(); // threads that ended by themselves
        }
        return;
    }
    if (!start) {
        m_running = 0;
        m_stopEvent.Set();
        m_values.Signal(); // the delivery thread need not wait out its time-out
        JoinThreads();
        driver::LogMessage(kCommunicationEnded, driver::kStateChange);
        return;
    }
    JoinThreads(); // threads that ended by themselves
    DiscardRequests();
    DiscardValueChanges();
    ForgetDriveWords(nullptr); // a run trusts only what the drives report in it
    if (!IsPortOpen()) {
        return; // the port never opened: communication stays stopped, silently
    }
    driver::LogMessage(kCommunicationStarted, driver::kStateChange);
    m_stopEvent.Reset();
    platform::KeepLoadedWhileThreadsRun(&kModuleAnchor);
    m_running = 1;
    try {
        m_pollThread = std::thread(&CCommChannel::GuardedThread, this, &CCommChannel::PollThread);
        m_deliveryThread =
            std::thread(&CCommChannel::GuardedThread, this, &CCommChannel::DeliveryThread);
    } catch (const std::exception&) {
        // No thread could be had: end the one that started and stay stopped.
        m_running = 0;
        m_stopEvent.Set();
        JoinThreads();
    }
}

void CCommChannel::JoinThreads() {
    for (std::thread* thread : {&m_pollThread, &m_deliveryThread}) {
        if (thread->joinable()) {
            thread->join();
        }
    }
}

int CCommChannel::Stop() {
    StartStop(0);
    return 0;
}

void CCommChannel::Pause(uint32_t milliseconds) {
    if (milliseconds > 0) {
        m_stopEvent.Wait(milliseconds);
    }
}

// Nothing may leave a thread as an exception (the process would terminate): a thread that
// meets one ends communication, both threads end, and the log says communication ended. A
// later stop joins them; a later start begins afresh.
void CCommChannel::GuardedThread(void (CCommChannel::*body)()) {
    try {
        (this->*body)();
    } catch (...) {
        if (m_running.exchange(0) != 0) {
            m_stopEvent.Set();
            m_values.Signal();
            driver::LogMessage(kCommunicationEnded, driver::kStateChange);
        }
    }
}

// Queued requests go out first, one per step, each followed by the line's pause; a step
// that executed none lets the next block queue its status queries. A pass over the blocks
// takes at least the minimum pass time.
void CCommChannel::PollThread() {
    const platform::PreciseTimers precise; // the pauses set the line's pace
    const comm::OwnedScope batches(m_pollThreadOwner);
    const size_t blocksAtStart = BlockCount();
    size_t visit = 0;
    uint32_t passStart = 0;
    while (IsRunning()) {
        if (ServiceBatch()) {
            Pause(kRequestPauseMs);
            continue;
        }
        if (visit == 0) {
            passStart = platform::TickCount();
        }
        if (CCommBlock* block = Block(visit)) {
            PollStepOrSkip(*block);
        }
        if (blocksAtStart > 0) {
            visit = (visit + 1) % blocksAtStart;
        }
        if (visit == 0) {
            const uint32_t elapsed = platform::TickCount() - passStart;
            Pause(elapsed < kMinimumPassMs ? kMinimumPassMs - elapsed : 0);
        }
    }
}

// A poll step that cannot queue its queries (no memory) is skipped; the next pass retries.
void CCommChannel::PollStepOrSkip(CCommBlock& block) {
    try {
        block.PollStep();
    } catch (const std::bad_alloc&) {
    }
}

void CCommChannel::DeliveryThread() {
    while (IsRunning()) {
        WaitForValueChanges(kDeliveryWaitMs);
        DeliverWaitingChanges();
    }
}

void CCommChannel::DeliverWaitingChanges() {
    const driver::HostBinding& host = driver::HostBinding::Instance();
    TakeValueChanges(m_delivering);
    for (const CEventVal& change : m_delivering) {
        host.SetTagValue(change.m_tagId, change.m_value);
    }
}
