// Tag registration from arbitrary texts: the I/O device string, the I/O address string,
// the tag type and sub-attribute, and a station name of any bytes, as a host passes them.
// The tag's name (which the refusals log) is the address text itself, '%' and all.
#include "fuzz_support.h"

#include "comm/comm_channel.h"
#include "comm/tag_address.h"
#include "comm/tag_binding.h"
#include "comm/tag_registration.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::ResetHost();
    fuzzing::InputReader input(data, size);
    const uint8_t kind = input.Byte();
    const uint16_t tagType = kind < 128 ? 13 : kind < 192 ? 1 : input.Word();
    const uint16_t subAttribute = input.Word();
    const std::string device = input.Text();
    const std::string address = input.Text();
    const std::string stationName = input.Text();

    TagBinding binding;
    binding.tagType = tagType;
    comm::TagAddress parsed;
    if (comm::ParseTagAddress(address.c_str(), binding, parsed)) {
        if (parsed.area >= comm::kAreaCount || parsed.number < 0 ||
            parsed.number > comm::kAreaMaximum[parsed.area] ||
            (binding.IsDigital() && binding.bitNumber > comm::kHighestBit)) {
            __builtin_trap(); // an accepted address outside its area
        }
    }

    auto document = fuzzing::MakeDocument({"PUMP1", "B.PUMP1", "%s%n%d"});
    auto station = std::make_unique<CStationInfo>();
    station->m_name = stationName;
    document->AddStation(std::move(station));
    fuzzing::NameTag(7, address);
    CCommChannel& channel = *document->Channel();
    const int32_t first =
        comm::RegisterTag(channel, device.c_str(), address.c_str(), tagType, subAttribute, 7);
    const int32_t second =
        comm::RegisterTag(channel, device.c_str(), address.c_str(), tagType, subAttribute, 7);
    // The same registration twice makes two bindings of one block, or fails twice.
    if ((first == -1) != (second == -1) || (first != -1 && second != first + 1)) {
        __builtin_trap();
    }
    channel.BuildPollMasks();
    return 0;
}
