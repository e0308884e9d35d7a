// What the TERM variable says of the terminal a full-screen command draws on.
#pragma once

#include <optional>
#include <string>

namespace vfdahost {

// Why the terminal cannot move its cursor ("not set", "dumb"); nothing when it can.
std::optional<std::string> TermCannotDraw();

} // namespace vfdahost
