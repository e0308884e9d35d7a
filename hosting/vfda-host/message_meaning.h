// What the module's numbered messages (Korean by contract) say, in English, for people who
// read no Korean; and whether the reader does.
#pragma once

#include <optional>
#include <string>

namespace vfdahost {

// The English meaning of a CP949 event-log line of the module ("cannot communicate with
// station [FAN1]"), its bracketed words kept; nothing for a line that is no message of it.
std::optional<std::string> EnglishMeaning(const std::string& cp949);

// True where the locale (LC_ALL, LC_MESSAGES or LANG, the first one set) is Korean.
bool ReaderReadsKorean();

// A line as text output shows it: the Korean text, its number and, for a reader of another
// language, the English meaning ("... (14: cannot communicate with station [FAN1])").
std::string ShownMessage(const std::string& cp949);

} // namespace vfdahost
