// The process's own terminal for a full-screen program: keys read one at a time without
// echo, the alternate screen, and the terminal put back as it was on every way out
// (destruction, exit, SIGINT, SIGTERM, SIGHUP, SIGQUIT). A signal the program catches itself
// still reaches its handler after the terminal is put back; any other ends the program as it
// would have. POSIX only.
#pragma once

#include "platform/export.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

enum class KeyCode {
    None, // nothing arrived in time
    Text, // one character, UTF-8 in KeyPress::text
    Enter,
    Tab,
    BackTab, // Shift-Tab
    Escape,
    Backspace,
    Delete,
    Up,
    Down,
    Left,
    Right,
    Home,
    End,
    PageUp,
    PageDown,
    Interrupt, // Ctrl-C
    Closed,    // the input ended or failed
};

struct KeyPress {
    KeyCode code = KeyCode::None;
    std::string text;
};

class TOOLKIT_API RawTerminal {
public:
    // True when standard input and standard output are both terminals.
    static bool Available();
    // Takes over the terminal on standard input and output; null (and why) when there is
    // none or it cannot be set up. Only one can be open at a time.
    static std::unique_ptr<RawTerminal> Open(std::string& error);

    ~RawTerminal(); // puts the terminal back
    RawTerminal(const RawTerminal&) = delete;
    RawTerminal& operator=(const RawTerminal&) = delete;

    bool Size(int& rows, int& columns) const;
    // True once after the terminal changed its size.
    bool TakeResized();
    void Write(std::string_view bytes);
    // Waits at most timeoutMs for a key. An Escape alone is told from the start of a key's
    // sequence by a short pause.
    KeyPress ReadKey(uint32_t timeoutMs);

private:
    RawTerminal();
    bool FillPending(uint32_t timeoutMs);
    std::string pending_;
    bool closed_ = false;
};

} // namespace platform
