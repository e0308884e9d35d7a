#include "tool_description.h"

namespace cli {

const Command* Tool::Find(std::string_view commandName) const {
    for (const Command& command : commands) {
        if (command.name == commandName) {
            return &command;
        }
    }
    return nullptr;
}

} // namespace cli
