// The tag file of vfda-host run: a CSV file with the header "name,type,device,address" and
// one tag a line. Tag ids are numbered from 1 in file order.
#pragma once

#include "comm/tag_binding.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vfdahost {

// The host's tag types: 13 is a digital tag (one bit of a word); analog tags use 1.
constexpr uint16_t kAnalogTagType = 1;
using comm::kDigitalTagType;

// Bounds on what is read: the whole file and each line.
constexpr size_t kMaxTagFileBytes = 4 * 1024 * 1024;
constexpr size_t kMaxTagLineBytes = 1024;

struct TagDefinition {
    uint32_t id = 0;
    std::string name; // UTF-8, as in the file
    uint16_t type = kAnalogTagType;
    std::string device;  // UTF-8
    std::string address; // UTF-8
    // The same texts as the module reads them.
    std::string nameCp949;
    std::string deviceCp949;
    std::string addressCp949;
};

// The station part of a tag's device: the text after the first '.' ("LINE.PUMP2" is
// PUMP2), or the whole device; as the module reads it.
std::string StationOfDevice(const std::string& device);

// Parses the file's text. On failure `error` names the line and what is wrong with it.
// Blank lines and lines starting with '#' are skipped; fields are trimmed and not quoted.
bool ParseTagFile(std::string_view text, std::vector<TagDefinition>& tags, std::string& error);

enum class TagFileResult { Read, Unreadable, Refused };

// Reads and parses the file at `path`; `error` says why it could not be read or was refused.
TagFileResult ReadTagFile(const std::string& path, std::vector<TagDefinition>& tags,
                          std::string& error);

} // namespace vfdahost
