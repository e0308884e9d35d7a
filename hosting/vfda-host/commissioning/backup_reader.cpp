#include "backup_reader.h"

#include "host_tool.h"

#include "json_fields.h"
#include "strict_json.h"
#include "word_value.h"

#include "platform/file.h"
#include "platform/system_error.h"

#include <cmath>
#include <set>

namespace vfdahost {
namespace {

using vfdajson::JsonValue;

constexpr long long kLargestFile = 1 << 20;

// A whole number from `lowest` to `highest`; false with `error` naming the field.
bool ReadWhole(const JsonValue& value, const std::string& field, long lowest, long highest,
               long& out, std::string& error) {
    if (value.kind != JsonValue::Kind::Number || value.number != std::floor(value.number) ||
        value.number < static_cast<double>(lowest) || value.number > static_cast<double>(highest)) {
        error = "\"" + field + "\" is not a whole number from " + std::to_string(lowest) + " to " +
                std::to_string(highest);
        return false;
    }
    out = static_cast<long>(value.number);
    return true;
}

bool ReadText(const JsonValue& value, const std::string& field, std::string& out,
              std::string& error) {
    if (value.kind != JsonValue::Kind::String) {
        error = "\"" + field + "\" is not a text";
        return false;
    }
    out = value.text;
    return true;
}

// Each key of `object` is one of `keys`, and all of them are there.
bool HasExactly(const JsonValue& object, const std::set<std::string>& keys, const std::string& what,
                std::string& error) {
    if (object.kind != JsonValue::Kind::Object) {
        error = what + " is not an object";
        return false;
    }
    for (const auto& [key, value] : object.members) {
        if (keys.count(key) == 0) {
            error = what + ": unknown key \"" + key + "\"";
            return false;
        }
    }
    for (const std::string& key : keys) {
        if (object.Find(key) == nullptr) {
            error = what + ": no \"" + key + "\"";
            return false;
        }
    }
    return true;
}

// One entry of "parameters": {"parameter":N,"raw":R|null,"value":V|null}, N its index, and
// the value exactly its raw word as the module delivers it (x 0.1 for the scaled ones).
bool ReadParameter(const JsonValue& entry, int index, std::optional<double>& value,
                   std::string& error) {
    const WordAddress address{'P', index};
    const std::string name = address.Text();
    if (!HasExactly(entry, {"parameter", "raw", "value"}, name, error)) {
        return false;
    }
    long number = -1;
    if (!ReadWhole(*entry.Find("parameter"), "parameter", 0, kBackupParameters - 1, number,
                   error) ||
        number != index) {
        error = name + " is not in its place (entry " + std::to_string(index) + ")";
        return false;
    }
    const JsonValue& raw = *entry.Find("raw");
    const JsonValue& given = *entry.Find("value");
    const bool rawNull = raw.kind == JsonValue::Kind::Null;
    const bool valueNull = given.kind == JsonValue::Kind::Null;
    if (rawNull && valueNull) {
        value.reset(); // the drive did not return it
        return true;
    }
    long rawWord = 0;
    std::string why;
    if (rawNull || valueNull || !ReadWhole(raw, name + " raw", 0, 0xFFFF, rawWord, why) ||
        given.kind != JsonValue::Kind::Number) {
        error = name + ": \"raw\" and \"value\" are both numbers or both null";
        return false;
    }
    // The same check as a typed value's: the raw word the value stands for, exactly.
    const std::optional<WordValue> checked = CheckWordValue(address, given.number, why);
    if (!checked) {
        error = name + ": the value " + NumberText(given.number) + " is refused: " + why;
        return false;
    }
    if (checked->raw != rawWord) {
        error = name + ": the value " + NumberText(given.number) + " does not match the raw word " +
                std::to_string(rawWord) + " (it stands for " +
                NumberText(ValueOfRaw(address, static_cast<uint16_t>(rawWord))) + ")";
        return false;
    }
    value = checked->value;
    return true;
}

bool ReadParameters(const JsonValue& list, ParameterBackup& backup, std::string& error) {
    if (list.kind != JsonValue::Kind::Array || list.items.size() != kBackupParameters) {
        error = "\"parameters\" is not a list of P0 to P80";
        return false;
    }
    for (int p = 0; p < kBackupParameters; ++p) {
        if (!ReadParameter(list.items[static_cast<size_t>(p)], p,
                           backup.values[static_cast<size_t>(p)], error)) {
            return false;
        }
    }
    return true;
}

bool ReadHead(const JsonValue& root, ParameterBackup& backup, std::string& error) {
    long number = 0;
    long model = 0;
    long baud = 0;
    if (!ReadText(*root.Find("station"), "station", backup.station, error) ||
        !ReadWhole(*root.Find("number"), "number", 0, 31, number, error) ||
        !ReadWhole(*root.Find("model"), "model", 0, 99, model, error) ||
        !ReadWhole(*root.Find("baud"), "baud", 1200, 4800, baud, error) ||
        !ReadText(*root.Find("read_at"), "read_at", backup.readAt, error)) {
        return false;
    }
    if (backup.station.empty()) {
        error = "empty station name";
        return false;
    }
    backup.number = static_cast<int>(number);
    backup.model = static_cast<int>(model);
    backup.baud = static_cast<int>(baud);
    return true;
}

} // namespace

bool ParseBackup(const std::string& text, ParameterBackup& backup, std::string& error) {
    std::string jsonError;
    const std::optional<JsonValue> root = vfdajson::ParseJson(text, &jsonError);
    if (!root) {
        error = "not JSON: " + jsonError;
        return false;
    }
    const JsonValue* format = root->Find("format");
    if (root->kind != JsonValue::Kind::Object ||
        (format == nullptr || format->kind != JsonValue::Kind::String ||
         format->text != kBackupFormat)) {
        error = "not a " + std::string(kBackupFormat) + " file";
        return false;
    }
    return HasExactly(*root,
                      {"format", "station", "number", "model", "baud", "read_at", "parameters"},
                      "the file", error) &&
           ReadHead(*root, backup, error) &&
           ReadParameters(*root->Find("parameters"), backup, error);
}

int LoadBackup(const std::string& path, ParameterBackup& backup, std::string& error) {
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Read)) {
        const std::string reason = platform::LastSystemError();
        const platform::FileStatus status = platform::StatusOf(path);
        error = "cannot read " + path + ": " +
                (status.exists && !status.regular ? "not a regular file" : reason);
        return kExitFailed;
    }
    const long long length = file.Length();
    if (length < 0 || length > kLargestFile) {
        error =
            "cannot read " + path + ": " +
            (length < 0 ? platform::LastSystemError()
                        : std::to_string(length) + " bytes, more than a backup holds (at most " +
                              std::to_string(kLargestFile) + ")");
        return kExitFailed;
    }
    std::string text(static_cast<size_t>(length), '\0');
    size_t done = 0;
    while (done < text.size()) {
        const long long read = file.Read(text.data() + done, text.size() - done);
        if (read <= 0) {
            error = "cannot read " + path + ": " +
                    (read < 0 ? platform::LastSystemError() : "the file was cut short while read");
            return kExitFailed;
        }
        done += static_cast<size_t>(read);
    }
    if (!ParseBackup(text, backup, error)) {
        error = path + ": " + error;
        return kExitRefused;
    }
    return kExitOk;
}

} // namespace vfdahost
