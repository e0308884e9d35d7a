#include "tag_file.h"

#include "platform/file.h"
#include "platform/system_error.h"
#include "platform/text_codec.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace vfdahost {
namespace {

constexpr std::string_view kHeader[] = {"name", "type", "device", "address"};
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = line.find(',', start);
        fields.push_back(Trimmed(line.substr(start, comma - start)));
        if (comma == std::string_view::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

bool IsHeader(const std::vector<std::string_view>& fields) {
    if (fields.size() != std::size(kHeader)) {
        return false;
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        if (Lower(fields[i]) != kHeader[i]) {
            return false;
        }
    }
    return true;
}

bool HasBlank(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](unsigned char c) { return std::isspace(c) != 0; });
}

bool ToCp949(std::string_view utf8, const char* what, std::string& cp949, std::string& error) {
    if (platform::Utf8ToCp949(utf8, cp949)) {
        return true;
    }
    error = std::string("the ") + what + " has characters that CP949 cannot hold";
    return false;
}

// One tag line; `error` says what is wrong (without the line number).
bool ParseTag(const std::vector<std::string_view>& fields, TagDefinition& tag, std::string& error) {
    if (fields.size() != std::size(kHeader)) {
        error = "a tag line has 4 fields (name,type,device,address), this one has " +
                std::to_string(fields.size());
        return false;
    }
    tag.name = fields[0];
    if (tag.name.empty() || HasBlank(tag.name)) {
        error = "the tag name must not be empty or contain blanks";
        return false;
    }
    const std::string type = Lower(fields[1]);
    if (type != "analog" && type != "digital") {
        error = "the type must be analog or digital, not \"" + std::string(fields[1]) + "\"";
        return false;
    }
    tag.type = type == "digital" ? kDigitalTagType : kAnalogTagType;
    tag.device = fields[2];
    tag.address = fields[3];
    return ToCp949(tag.name, "name", tag.nameCp949, error) &&
           ToCp949(tag.device, "device", tag.deviceCp949, error) &&
           ToCp949(tag.address, "address", tag.addressCp949, error);
}

bool Skipped(std::string_view line) {
    const std::string_view trimmed = Trimmed(line);
    return trimmed.empty() || trimmed.front() == '#';
}

} // namespace

bool ParseTagFile(std::string_view text, std::vector<TagDefinition>& tags, std::string& error) {
    tags.clear();
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    bool headerSeen = false;
    std::set<std::string> names;
    size_t lineNumber = 0;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++lineNumber;
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (line.size() > kMaxTagLineBytes) {
            error = where + "longer than " + std::to_string(kMaxTagLineBytes) + " bytes";
            return false;
        }
        if (Skipped(line)) {
            continue;
        }
        const std::vector<std::string_view> fields = Fields(line);
        if (!headerSeen) {
            if (!IsHeader(fields)) {
                error = where + "the first line must be the header name,type,device,address";
                return false;
            }
            headerSeen = true;
            continue;
        }
        TagDefinition tag;
        if (!ParseTag(fields, tag, error)) {
            error = where + error;
            return false;
        }
        if (!names.insert(tag.name).second) {
            error = where + "the tag name " + tag.name + " is used twice";
            return false;
        }
        tag.id = static_cast<uint32_t>(tags.size() + 1);
        tags.push_back(std::move(tag));
    }
    if (!headerSeen) {
        error = "no header line name,type,device,address";
        return false;
    }
    return true;
}

TagFileResult ReadTagFile(const std::string& path, std::vector<TagDefinition>& tags,
                          std::string& error) {
    // Opened without blocking, and only a regular file: a FIFO or a device is refused.
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Read)) {
        const std::string reason = platform::LastSystemError();
        const platform::FileStatus status = platform::StatusOf(path);
        error = status.exists && !status.regular ? path + " is not a regular file to read"
                                                 : "cannot read " + path + ": " + reason;
        return TagFileResult::Unreadable;
    }
    std::string text(kMaxTagFileBytes + 1, '\0');
    size_t length = 0;
    while (length < text.size()) {
        const long long got = file.Read(text.data() + length, text.size() - length);
        if (got < 0) {
            error = "cannot read " + path + ": " + platform::LastSystemError();
            return TagFileResult::Unreadable;
        }
        if (got == 0) {
            break;
        }
        length += static_cast<size_t>(got);
    }
    text.resize(length);
    if (text.size() > kMaxTagFileBytes) {
        error = path + " is larger than " + std::to_string(kMaxTagFileBytes) + " bytes";
        return TagFileResult::Refused;
    }
    if (!ParseTagFile(text, tags, error)) {
        error = path + ": " + error;
        return TagFileResult::Refused;
    }
    return TagFileResult::Read;
}

std::string StationOfDevice(const std::string& device) {
    const size_t dot = device.find('.');
    return dot == std::string::npos ? device : device.substr(dot + 1);
}

} // namespace vfdahost
