// Registration of one host tag with a driver instance: the I/O device names the station,
// the I/O address the area and parameter; the result is the tag's handle.
#pragma once

#include <cstdint>

class CCommChannel;

namespace comm {

// Threads: the host's thread, only while the instance's communication is stopped (the
// blocks and bindings are fixed while it runs).

// The station named by a device string: the text after its first '.', or all of it.
const char* StationNameOfDevice(const char* device);

// Binds the tag and returns its handle, or -1 after logging message 7 (no such station) or
// 6 (bad address) with the tag's name. A failed registration creates nothing.
// The station is looked up among those of the channel's document.
int32_t RegisterTag(CCommChannel& channel, const char* device, const char* address,
                    uint16_t tagType, uint16_t subAttribute, uint32_t tagId);

} // namespace comm
