#include "backup_file.h"

#include "json_fields.h"
#include "platform/file.h"

#include "comm/scaled_parameters.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <set>

namespace vfdahost {
namespace {

constexpr const char* kFormat = "vfda-parameters/1";
constexpr long long kLargestFile = 1 << 20;

// Reads the backup's JSON text from the front; every Read... fails (with `error`) on the
// first byte that does not belong there.
class BackupReader {
public:
    explicit BackupReader(const std::string& text) : text_(text) {}

    bool Fail(const std::string& what) {
        if (error_.empty()) {
            error_ = what + " at byte " + std::to_string(position_);
        }
        return false;
    }
    const std::string& Error() const { return error_; }

    void SkipSpace() {
        while (position_ < text_.size() && (text_[position_] == ' ' || text_[position_] == '\t' ||
                                            text_[position_] == '\n' || text_[position_] == '\r')) {
            ++position_;
        }
    }
    bool Take(char wanted) {
        SkipSpace();
        if (position_ < text_.size() && text_[position_] == wanted) {
            ++position_;
            return true;
        }
        return false;
    }
    bool Expect(char wanted) {
        return Take(wanted) || Fail(std::string("expected '") + wanted + "'");
    }
    bool AtEnd() {
        SkipSpace();
        return position_ == text_.size();
    }
    bool TakeWord(const char* word) {
        SkipSpace();
        const std::string w(word);
        if (text_.compare(position_, w.size(), w) == 0) {
            position_ += w.size();
            return true;
        }
        return false;
    }

    // A string without escapes other than \" \\ \/ and no control characters: names and
    // times are plain text.
    bool ReadString(std::string& out) {
        if (!Expect('"')) {
            return false;
        }
        out.clear();
        while (position_ < text_.size() && text_[position_] != '"') {
            char c = text_[position_++];
            if (static_cast<unsigned char>(c) < 0x20) {
                return Fail("control character in a string");
            }
            if (c == '\\') {
                if (position_ >= text_.size() ||
                    std::string("\"\\/").find(text_[position_]) == std::string::npos) {
                    return Fail("unsupported escape");
                }
                c = text_[position_++];
            }
            out += c;
        }
        return Take('"') || Fail("unterminated string");
    }

    // A JSON number (-?int frac? exp?), strictly as the grammar has it.
    bool ReadNumber(double& out) {
        SkipSpace();
        const size_t start = position_;
        const auto digits = [&] {
            const size_t from = position_;
            while (position_ < text_.size() && text_[position_] >= '0' && text_[position_] <= '9') {
                ++position_;
            }
            return position_ - from;
        };
        Take('-');
        const size_t intStart = position_;
        const size_t intDigits = digits();
        if (intDigits == 0 || (intDigits > 1 && text_[intStart] == '0')) {
            return Fail("expected a number");
        }
        if (position_ < text_.size() && text_[position_] == '.') {
            ++position_;
            if (digits() == 0) {
                return Fail("expected digits after '.'");
            }
        }
        if (position_ < text_.size() && (text_[position_] == 'e' || text_[position_] == 'E')) {
            ++position_;
            if (position_ < text_.size() && (text_[position_] == '+' || text_[position_] == '-')) {
                ++position_;
            }
            if (digits() == 0) {
                return Fail("expected an exponent");
            }
        }
        out = std::strtod(text_.substr(start, position_ - start).c_str(), nullptr);
        return std::isfinite(out) || Fail("number out of range");
    }

    bool ReadWhole(long lowest, long highest, long& out) {
        double number = 0;
        if (!ReadNumber(number)) {
            return false;
        }
        if (number != std::floor(number) || number < lowest || number > highest) {
            return Fail("expected a whole number from " + std::to_string(lowest) + " to " +
                        std::to_string(highest));
        }
        out = static_cast<long>(number);
        return true;
    }

    // The members of an object, each key once; `member` reads the value of one key.
    template <typename ReadMember> bool ReadObject(const ReadMember& member) {
        if (!Expect('{')) {
            return false;
        }
        std::set<std::string> seen;
        if (Take('}')) {
            return true;
        }
        do {
            std::string key;
            if (!ReadString(key) || !Expect(':')) {
                return false;
            }
            if (!seen.insert(key).second) {
                return Fail("duplicate key \"" + key + "\"");
            }
            if (!member(key)) {
                return false;
            }
        } while (Take(','));
        return Expect('}');
    }

private:
    const std::string& text_;
    size_t position_ = 0;
    std::string error_;
};

// One entry of "parameters": {"parameter":N,"raw":R|null,"value":V|null}, N its index.
bool ReadParameter(BackupReader& reader, int index, std::optional<double>& value) {
    long number = -1;
    std::optional<long> raw;
    bool rawSeen = false;
    bool valueSeen = false;
    double given = 0;
    bool valueNull = false;
    const bool read = reader.ReadObject([&](const std::string& key) {
        if (key == "parameter") {
            return reader.ReadWhole(0, kBackupParameters - 1, number);
        }
        if (key == "raw") {
            rawSeen = true;
            if (reader.TakeWord("null")) {
                return true;
            }
            raw = 0;
            return reader.ReadWhole(0, 9999, *raw);
        }
        if (key == "value") {
            valueSeen = true;
            valueNull = reader.TakeWord("null");
            return valueNull || reader.ReadNumber(given);
        }
        return reader.Fail("unknown key \"" + key + "\"");
    });
    const std::string where = "parameter " + std::to_string(index);
    if (!read) {
        return false;
    }
    if (number != index || !rawSeen || !valueSeen) {
        return reader.Fail(where + " is not {\"parameter\":" + std::to_string(index) +
                           ",\"raw\":...,\"value\":...}");
    }
    if (raw.has_value() == valueNull || (raw && RawOfParameter(index, given) != *raw)) {
        return reader.Fail(where + ": the value does not match the raw word");
    }
    value = raw ? std::optional<double>(given) : std::nullopt;
    return true;
}

bool ReadParameters(BackupReader& reader, ParameterBackup& backup) {
    if (!reader.Expect('[')) {
        return false;
    }
    for (int index = 0; index < kBackupParameters; ++index) {
        if ((index > 0 && !reader.Expect(',')) ||
            !ReadParameter(reader, index, backup.values[static_cast<size_t>(index)])) {
            return false;
        }
    }
    return reader.Expect(']') || reader.Fail("more than 81 parameters");
}

} // namespace

long RawOfParameter(int number, double value) {
    const bool scaled = comm::ScaledParameters[static_cast<size_t>(number)];
    return std::lround(scaled ? value * 10 : value);
}

std::string BackupJson(const ParameterBackup& backup) {
    JsonFields head;
    head.Text("format", kFormat)
        .Text("station", backup.station)
        .Integer("number", backup.number)
        .Integer("model", backup.model)
        .Integer("baud", backup.baud)
        .Text("read_at", backup.readAt);
    std::string text = "{" + head.Body() + ",\"parameters\":[\n";
    for (int p = 0; p < kBackupParameters; ++p) {
        const std::optional<double>& value = backup.values[static_cast<size_t>(p)];
        JsonFields entry;
        entry.Integer("parameter", p);
        if (value) {
            entry.Integer("raw", RawOfParameter(p, *value)).Number("value", *value);
        } else {
            entry.Null("raw").Null("value");
        }
        text += "{" + entry.Body() + (p + 1 < kBackupParameters ? "},\n" : "}\n");
    }
    return text + "]}\n";
}

bool ParseBackup(const std::string& text, ParameterBackup& backup, std::string& error) {
    BackupReader reader(text);
    std::set<std::string> missing = {"format", "station", "number",    "model",
                                     "baud",   "read_at", "parameters"};
    long number = 0;
    long model = 0;
    long baud = 0;
    std::string format;
    bool read = reader.ReadObject([&](const std::string& key) {
        missing.erase(key);
        if (key == "format") {
            return reader.ReadString(format) &&
                   (format == kFormat || reader.Fail("not a " + std::string(kFormat) + " file"));
        }
        if (key == "station") {
            return reader.ReadString(backup.station) &&
                   (!backup.station.empty() || reader.Fail("empty station name"));
        }
        if (key == "number") {
            return reader.ReadWhole(0, 31, number);
        }
        if (key == "model") {
            return reader.ReadWhole(0, 99, model);
        }
        if (key == "baud") {
            return reader.ReadWhole(1200, 4800, baud);
        }
        if (key == "read_at") {
            return reader.ReadString(backup.readAt);
        }
        if (key == "parameters") {
            return ReadParameters(reader, backup);
        }
        return reader.Fail("unknown key \"" + key + "\"");
    });
    read = read && (reader.AtEnd() || reader.Fail("text after the object"));
    if (read && !missing.empty()) {
        read = reader.Fail("no \"" + *missing.begin() + "\"");
    }
    backup.number = static_cast<int>(number);
    backup.model = static_cast<int>(model);
    backup.baud = static_cast<int>(baud);
    error = reader.Error();
    return read;
}

int LoadBackup(const std::string& path, ParameterBackup& backup, std::string& error) {
    platform::File file;
    const long long length = file.Open(path, platform::File::Mode::Read) ? file.Length() : -1;
    if (length < 0 || length > kLargestFile) {
        error = "cannot read " + path;
        return 1;
    }
    std::string text(static_cast<size_t>(length), '\0');
    if (length > 0 && file.Read(text.data(), text.size()) != length) {
        error = "cannot read " + path;
        return 1;
    }
    if (!ParseBackup(text, backup, error)) {
        error = path + ": " + error;
        return 2;
    }
    return 0;
}

bool SaveAtomically(const std::string& path, const std::string& text, std::string& error) {
    std::random_device seed;
    platform::File file;
    std::string temporary;
    for (int attempt = 0; attempt < 8 && !file.IsOpen(); ++attempt) {
        temporary = path + ".tmp-" + std::to_string(seed());
        file.Open(temporary, platform::File::Mode::CreateNew);
    }
    const bool written = file.IsOpen() && file.WriteAll(text.data(), text.size()) &&
                         file.KeepAttributesOf(platform::StatusOf(path)) && file.FlushToDisk();
    const bool closed = file.IsOpen() && file.Close();
    if (!written || !closed || !platform::ReplaceFile(temporary, path)) {
        if (!temporary.empty()) {
            platform::RemoveFile(temporary);
        }
        error = "cannot write " + path;
        return false;
    }
    return true;
}

std::string UtcNowText() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date(day);
    const hh_mm_ss<seconds> time(now - day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

} // namespace vfdahost
