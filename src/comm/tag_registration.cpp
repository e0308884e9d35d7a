#include "comm/tag_registration.h"

#include "comm/comm_channel.h"
#include "comm/tag_address.h"
#include "comm/tag_binding.h"
#include "config/station_info.h"
#include "config/vfda_drv_doc.h"
#include "host_link/host_binding.h"
#include "host_link/message_log.h"

#include <cstring>
#include <string>

namespace comm {
namespace {

constexpr int32_t kBadAddress = 6;
constexpr int32_t kUnknownDevice = 7;
constexpr int32_t kFailed = -1;

// Station names match byte for byte, letter case included.
CStationInfo* FindStationExactly(const CVfdaDrvDoc& document, const char* name) {
    for (CStationInfo* station : document.Stations()) {
        if (station->m_name == name) {
            return station;
        }
    }
    return nullptr;
}

int32_t Refuse(int32_t message, uint32_t tagId, const char* text) {
    const std::string tagName = driver::HostBinding::Instance().GetTagName(tagId);
    driver::LogMessage(message, driver::kConfigurationError, tagName.c_str(), text);
    return kFailed;
}

} // namespace

const char* StationNameOfDevice(const char* device) {
    const char* dot = std::strchr(device, '.');
    return dot != nullptr ? dot + 1 : device;
}

int32_t RegisterTag(CCommChannel& channel, const char* device, const char* address,
                    uint16_t tagType, uint16_t subAttribute, uint32_t tagId) {
    const char* deviceText = device != nullptr ? device : "";
    const char* addressText = address != nullptr ? address : "";
    CStationInfo* station = FindStationExactly(channel.Owner(), StationNameOfDevice(deviceText));
    if (station == nullptr) {
        return Refuse(kUnknownDevice, tagId, deviceText);
    }
    TagBinding binding;
    binding.tagId = tagId;
    binding.tagType = tagType;
    binding.bitNumber = subAttribute;
    TagAddress parsed;
    if (!ParseTagAddress(addressText, binding, parsed)) {
        return Refuse(kBadAddress, tagId, addressText);
    }
    const int32_t handle = channel.RegisterBinding(*station, parsed.area, parsed.number, binding);
    if (handle == CCommChannel::kNoHandle) {
        return Refuse(kBadAddress, tagId, addressText);
    }
    return handle;
}

} // namespace comm
