// The terminal pcbhost talks to a person on: standard input for keys and
// answers, standard error for the progress bar and questions. POSIX only;
// elsewhere (Windows) there is never a terminal and every answer comes from
// the options.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pcbhost::terminal {

bool InputIsTerminal();
bool ErrorIsTerminal();
// The width of standard error's terminal; 80 when it cannot be told.
int Columns();

// Puts standard input into raw mode (keys come one by one, without echo,
// and reads never wait) until StopRawInput, the end of the program or a
// signal that ends it (the terminal's modes are restored in every case).
// False when standard input is not a terminal.
bool StartRawInput();
void StopRawInput();

// Takes what waits on standard input into the pending input, never waiting.
void PollInput();
// Takes the first Escape key press from the pending input (a lone Escape
// byte, not the start of a key's sequence such as an arrow's); what was
// typed after it stays pending.
bool TakeEscape();

// A line typed by the person: echoed as typed, Backspace erases, Enter ends
// it; key sequences (arrows, function keys) are ignored. A lone Escape ends
// the line at once and answers kEscapeLine. Nothing when the input ends
// (or Ctrl+D on an empty line).
inline constexpr char kEscapeLine[] = "\x1b";
std::optional<std::string> ReadLine();

// Writes to standard error at once.
void Write(std::string_view text);

}  // namespace pcbhost::terminal
