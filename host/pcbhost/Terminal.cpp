#include "host/pcbhost/Terminal.h"

#ifndef _WIN32
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#endif

#include <string>

namespace pcbhost::terminal {

#ifdef _WIN32

bool InputIsTerminal() { return false; }
bool ErrorIsTerminal() { return false; }
int Columns() { return 80; }
bool StartRawInput() { return false; }
void StopRawInput() {}
void PollInput() {}
bool TakeEscape() { return false; }
std::optional<std::string> ReadLine() { return std::nullopt; }
void Write(std::string_view) {}

#else

namespace {

constexpr unsigned char kEsc = 0x1B;

// The terminal's modes before raw mode; restored from a signal handler too,
// so they are plain data.
struct termios gSaved;
volatile sig_atomic_t gRaw = 0;
bool gHandlersInstalled = false;
std::string gPending;

void Restore() {
  if (gRaw) {
    tcsetattr(STDIN_FILENO, TCSANOW, &gSaved);
    gRaw = 0;
  }
}

void RestoreAtExit() { Restore(); }

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Restores the terminal and lets the signal end the program as it would
// have without us.
void OnEndingSignal(int signal) {
  Restore();
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

void InstallHandlers() {
  if (gHandlersInstalled) return;
  gHandlersInstalled = true;
  std::atexit(RestoreAtExit);
  for (int s : kEndingSignals) {
    struct sigaction now {}, before {};
    sigaction(s, nullptr, &before);
    if (before.sa_handler == SIG_IGN) continue;  // keep what the parent asked for
    now.sa_handler = OnEndingSignal;
    sigemptyset(&now.sa_mask);
    sigaction(s, &now, nullptr);
  }
}

// Reads what waits; when `wait`, waits for at least one byte. False when
// the input has ended.
bool ReadInput(bool wait) {
  char buffer[256];
  while (true) {
    struct pollfd p {};
    p.fd = STDIN_FILENO;
    p.events = POLLIN;
    const int ready = ::poll(&p, 1, wait ? -1 : 0);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return ready == 0;
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
      if (!wait) return true;
      continue;
    }
    if (n <= 0) return false;
    gPending.append(buffer, static_cast<size_t>(n));
    return true;
  }
}

// The length of the key sequence starting with Escape at `i` (Escape '['
// parameters and a final byte, or Escape 'O' and one byte); 0 for a lone
// Escape.
size_t SequenceLength(const std::string& s, size_t i) {
  if (i + 1 >= s.size()) return 0;
  const char next = s[i + 1];
  if (next == 'O') return i + 2 < s.size() ? 3 : 2;
  if (next != '[') return 0;
  size_t k = i + 2;
  while (k < s.size() && !(s[k] >= 0x40 && s[k] <= 0x7E)) ++k;
  return k < s.size() ? k - i + 1 : s.size() - i;
}

}  // namespace

bool InputIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }
bool ErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

int Columns() {
  struct winsize w {};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &w) == 0 && w.ws_col >= 20) return w.ws_col;
  return 80;
}

bool StartRawInput() {
  if (gRaw) return true;
  if (!InputIsTerminal() || tcgetattr(STDIN_FILENO, &gSaved) != 0) return false;
  InstallHandlers();
  struct termios raw = gSaved;
  // Keys one by one, without echo; Ctrl+C still interrupts.
  raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  raw.c_iflag &= static_cast<tcflag_t>(~(IXON | ICRNL));
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  gRaw = 1;
  if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0) {
    gRaw = 0;
    return false;
  }
  return true;
}

void StopRawInput() { Restore(); }

void PollInput() {
  if (gRaw) ReadInput(false);
}

bool TakeEscape() {
  for (size_t i = 0; i < gPending.size(); ++i) {
    if (static_cast<unsigned char>(gPending[i]) != kEsc) continue;
    const size_t n = SequenceLength(gPending, i);
    if (n == 0) {
      gPending.erase(i, 1);
      return true;
    }
    i += n - 1;
  }
  return false;
}

std::optional<std::string> ReadLine() {
  std::string line;
  while (true) {
    if (gPending.empty() && !ReadInput(true)) {
      if (line.empty()) return std::nullopt;
      Write("\n");
      return line;
    }
    while (!gPending.empty()) {
      const auto c = static_cast<unsigned char>(gPending[0]);
      if (c == kEsc) {
        const size_t n = SequenceLength(gPending, 0);
        if (n == 0) {
          gPending.erase(0, 1);
          Write("\n");
          return std::string(kEscapeLine);
        }
        gPending.erase(0, n);
        continue;
      }
      gPending.erase(0, 1);
      if (c == '\r' || c == '\n') {
        // A "\r\n" pair is one Enter.
        if (c == '\r' && !gPending.empty() && gPending[0] == '\n') gPending.erase(0, 1);
        Write("\n");
        return line;
      }
      if (c == 0x04 && line.empty()) {
        Write("\n");
        return std::nullopt;
      }
      if (c == 0x7F || c == 0x08) {
        if (!line.empty()) {
          // Erase a whole UTF-8 character.
          do line.pop_back();
          while (!line.empty() && (static_cast<unsigned char>(line.back()) & 0xC0) == 0x80);
          Write("\b \b");
        }
        continue;
      }
      if (c < 0x20) continue;
      line += static_cast<char>(c);
      Write(std::string_view(reinterpret_cast<const char*>(&c), 1));
    }
  }
}

void Write(std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(STDERR_FILENO, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    text.remove_prefix(static_cast<size_t>(n));
  }
}

#endif

}  // namespace pcbhost::terminal
