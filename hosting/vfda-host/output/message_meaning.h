// What the module's numbered messages (Korean by contract) say, in English, for people who
// read no Korean; and whether the reader does.
#pragma once

#include <cstdint>
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

// A message box of the host's own (2002 cannot read, 2005 cannot save, a file named in its
// text) as "vfda-host: " and the Korean text, its code, and outside Korean its meaning and
// what the file system says of the file.
std::string ShownMessageBox(int32_t code, const std::string& cp949Text,
                            const std::string& cp949Message);

} // namespace vfdahost
