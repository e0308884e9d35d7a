#include "driver/entry_functions.h"

#include "comm/comm_channel.h"
#include "comm/station_statistics.h"
#include "comm/tag_registration.h"
#include "comm/tag_write.h"
#include "config/vfda_drv_doc.h"
#include "driver/driver_instances.h"
#include "driver/entry_guard.h"
#include "host_link/host_binding.h"
#include "host_link/message_log.h"
#include "resources/texts.h"

#include <exception>
#include <memory>

namespace driver {
namespace {

constexpr int kFileCannotBeOpened = 5;
// What an entry answers when it failed or refused the call; the editor's is "not saved".
constexpr int32_t kFailed = -1;
constexpr int32_t kNotSaved = 0;

CVfdaDrvDoc* FindInstance(int32_t instance) {
    return DriverInstances::Instance().Find(instance);
}

// The slots that reach the channel answer as for a bad index while there is none.
CCommChannel* FindChannel(int32_t instance) {
    CVfdaDrvDoc* document = FindInstance(instance);
    return document != nullptr ? document->Channel() : nullptr;
}

CCommChannel* ChannelOf(const InstanceControl& control) {
    return control.Document() != nullptr ? control.Document()->Channel() : nullptr;
}

// The poll thread reads the blocks, bindings and poll masks without a lock, so they change
// only while no worker thread runs: stopped, with threads that ended on their own joined.
bool CanChangeSetUp(CCommChannel& channel) {
    if (channel.IsRunning()) {
        return false;
    }
    channel.Stop(); // joins threads that ended by themselves; logs nothing
    return true;
}

int32_t DrvGetVersion() {
    return drv::kInterfaceVersion;
}

int32_t DrvOpen(const char* path) {
    HostBinding::Instance().BindRunTimeLibraries();
    auto document = std::make_unique<CVfdaDrvDoc>();
    if (path == nullptr || !document->LoadFile(path)) {
        document.reset();
        LogMessage(kFileCannotBeOpened, kConfigurationError, path);
        return -1;
    }
    return DriverInstances::Instance().Add(std::move(document));
}

int32_t DrvEditConfig(const char* path) {
    HostBinding& host = HostBinding::Instance();
    if (path == nullptr || !host.BindDesigner()) {
        return 0;
    }
    int32_t saved = 0;
    try {
        CVfdaDrvDoc document;
        saved = document.EditConfig(path);
    } catch (const std::exception&) {
        // Nothing leaves the module as an exception; whatever was saved stays saved, but
        // the result cannot say so any more.
        saved = 0;
    }
    host.ReleaseDesigner();
    return saved;
}

// Creates the instance's channel, puts every station into its starting state (enabled,
// statistics cleared, link good) and opens the port. A channel from an earlier call is
// stopped and destroyed first, which closes its port.
int32_t DrvInitComm(int32_t instance) {
    const InstanceControl control(instance);
    CVfdaDrvDoc* document = control.Document();
    if (document == nullptr) {
        return 0;
    }
    if (CCommChannel* previous = document->Channel()) {
        previous->Stop();
        document->SetChannel(OwnedChannel(nullptr, nullptr));
    }
    document->SetChannel(CCommChannel::Create(*document));
    for (CStationInfo* station : document->Stations()) {
        station->ResetRuntime();
    }
    return document->Channel()->OpenPort();
}

int32_t DrvBuildPollMasks(int32_t instance) {
    const InstanceControl control(instance);
    CCommChannel* channel = ChannelOf(control);
    if (channel == nullptr) {
        return 0;
    }
    if (CanChangeSetUp(*channel)) { // while it runs the masks stay as they are
        channel->BuildPollMasks();
    }
    return 0;
}

int32_t DrvStop(int32_t instance) {
    const InstanceControl control(instance);
    if (CCommChannel* channel = ChannelOf(control)) {
        return channel->Stop();
    }
    return 0;
}

int32_t DrvRegisterTag(int32_t instance, const char* device, const char* address, uint16_t tagType,
                       uint16_t subAttribute, uint32_t tagId) {
    const InstanceControl control(instance);
    CCommChannel* channel = ChannelOf(control);
    if (channel == nullptr || !CanChangeSetUp(*channel)) {
        return kFailed;
    }
    return comm::RegisterTag(*channel, device, address, tagType, subAttribute, tagId);
}

int32_t DrvWriteTag(int32_t instance, uint32_t handle, CTagVal* value) {
    CCommChannel* channel = FindChannel(instance);
    if (channel == nullptr || value == nullptr) {
        return 0;
    }
    return comm::WriteTag(*channel, handle, value->GetVal());
}

int32_t AnswerZero() {
    return 0;
}
int32_t AnswerOne() {
    return 1;
}
void DoNothing() {}

const char* DrvGetName() {
    return resources::kDriverName;
}

void DrvEnable(int32_t instance, const char* station, int32_t flag) {
    if (station == nullptr) {
        const InstanceControl control(instance);
        if (CCommChannel* channel = ChannelOf(control)) {
            channel->StartStop(flag);
        }
        return;
    }
    CVfdaDrvDoc* document = FindInstance(instance);
    if (document == nullptr) {
        return;
    }
    if (CStationInfo* found = document->FindStation(station)) {
        found->m_enabled = flag;
    }
}

void DrvResetStatistics(int32_t instance, const char* station) {
    CVfdaDrvDoc* document = FindInstance(instance);
    if (document == nullptr) {
        return;
    }
    if (station == nullptr) {
        for (CStationInfo* each : document->Stations()) {
            each->ResetStatistics();
        }
    } else if (CStationInfo* found = document->FindStation(station)) {
        found->ResetStatistics();
    }
}

int32_t DrvGetStatistics(int32_t instance, const char* station, int32_t* readRequests,
                         int32_t* readFailures, int32_t* writeRequests, int32_t* writeFailures) {
    const CCommChannel* channel = FindChannel(instance);
    if (channel == nullptr) {
        return -1;
    }
    // A missing output is written to a scratch word instead of through a null pointer.
    int32_t scratch[4] = {};
    const comm::Counters out{readRequests != nullptr ? readRequests : &scratch[0],
                             readFailures != nullptr ? readFailures : &scratch[1],
                             writeRequests != nullptr ? writeRequests : &scratch[2],
                             writeFailures != nullptr ? writeFailures : &scratch[3]};
    return comm::GetStatistics(*channel, station, out);
}

void DrvGetStationInfo(int32_t instance, const char* station, std::string* numberText,
                       std::string* description) {
    CVfdaDrvDoc* document = FindInstance(instance);
    if (document == nullptr || numberText == nullptr || description == nullptr) {
        return;
    }
    if (const CStationInfo* found = document->FindStation(station)) {
        found->GetInfo(*numberText, *description);
    }
}

// The slot's address of the entry behind the guard that turns any exception into `failure`.
template <auto Function, auto Failure = kNoAnswer> drv::Entry AsEntry() {
    return reinterpret_cast<drv::Entry>(&Guarded<Function, Failure>::Call);
}

} // namespace

void FillEntryTable(drv::Entry (&table)[drv::kSlotCount]) {
    const drv::Entry used[drv::kUsedSlots] = {
        AsEntry<&DrvGetVersion, kFailed>(),
        AsEntry<&DrvOpen, kFailed>(),
        AsEntry<&DrvEditConfig, kNotSaved>(),
        AsEntry<&DrvInitComm, kFailed>(),
        AsEntry<&DrvBuildPollMasks, kFailed>(),
        AsEntry<&DrvStop, kFailed>(),
        AsEntry<&DrvRegisterTag, kFailed>(),
        AsEntry<&DrvWriteTag, kFailed>(),
        AsEntry<&AnswerZero, 0>(),
        AsEntry<&AnswerOne, 1>(),
        AsEntry<&DoNothing>(),
        AsEntry<&DoNothing>(),
        AsEntry<&DrvGetName, nullptr>(),
        AsEntry<&DrvEnable>(),
        AsEntry<&DrvResetStatistics>(),
        AsEntry<&DrvGetStatistics, kFailed>(),
        AsEntry<&DrvGetStationInfo>(),
    };
    for (int slot = 0; slot < drv::kSlotCount; ++slot) {
        table[slot] = slot < drv::kUsedSlots ? used[slot] : nullptr;
    }
}

} // namespace driver
