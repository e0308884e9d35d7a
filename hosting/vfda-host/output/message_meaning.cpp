#include "message_meaning.h"

#include "message_number.h"
#include "platform/file.h"
#include "resources/texts.h"
#include "text_output.h"

#include <cstdlib>
#include <string_view>
#include <vector>

namespace vfdahost {
namespace {

// The host's own message boxes about files.
constexpr int32_t kHostCannotRead = 2002;
constexpr int32_t kHostCannotSave = 2005;

// Message n's meaning; each %s takes the text of the Korean message's %s in the same order.
const char* const kMeanings[resources::kMessageCount] = {
    "",
    "communication started",
    "communication ended",
    "communication port ready",
    "cannot open communication port [%s]",
    "cannot open file [%s]",
    "tag [%s] has a wrong I/O address [%s]",
    "tag [%s] names I/O device [%s], which the driver does not have",
    "cannot send data to station [%s]",
    "cannot receive data from station [%s]",
    "time-out receiving from station [%s]",
    "data received from station [%s] does not have the expected form",
    "station [%s] answered with an error code",
    "checksum of the data received from station [%s] does not match",
    "cannot communicate with station [%s]",
    "communication with station [%s] is restored",
    "station number code of station [%s] does not match",
    "the address of tag [%s] cannot be written",
};

std::string Filled(std::string_view meaning, const std::vector<std::string>& holes) {
    std::string out;
    size_t next = 0;
    for (size_t at = 0; at < meaning.size(); ++at) {
        if (meaning.compare(at, 2, "%s") == 0 && next < holes.size()) {
            out += holes[next++];
            ++at;
        } else {
            out += meaning[at];
        }
    }
    return out;
}

} // namespace

std::optional<std::string> EnglishMeaning(const std::string& cp949) {
    std::vector<std::string> holes;
    const std::optional<int> number = MessageNumber(cp949, &holes);
    if (!number) {
        return std::nullopt;
    }
    for (std::string& hole : holes) {
        hole = ToUtf8(hole);
    }
    return Filled(kMeanings[*number], holes);
}

bool ReaderReadsKorean() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return std::string_view(value).substr(0, 2) == "ko";
        }
    }
    return false;
}

std::string ShownMessage(const std::string& cp949) {
    std::string shown = ToUtf8(cp949);
    const std::optional<int> number = MessageNumber(cp949);
    if (!number) {
        return shown;
    }
    shown += " (" + std::to_string(*number);
    if (!ReaderReadsKorean()) {
        shown += ": " + EnglishMeaning(cp949).value_or("");
    }
    return shown + ")";
}

std::string ShownMessageBox(int32_t code, const std::string& cp949Text,
                            const std::string& cp949Message) {
    std::string shown = "vfda-host: " + ToUtf8(cp949Message) + " (" + std::to_string(code);
    const std::string path = ToUtf8(cp949Text);
    if (!ReaderReadsKorean() && (code == kHostCannotRead || code == kHostCannotSave)) {
        shown += code == kHostCannotRead ? ": cannot read file [" : ": cannot save file [";
        shown += path + "]";
        const platform::FileStatus status = platform::StatusOf(path);
        if (code == kHostCannotSave && status.exists && status.readOnly) {
            shown += ": the file is read-only";
        }
    }
    return shown + ")";
}

} // namespace vfdahost
