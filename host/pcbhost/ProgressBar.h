// The host's progress display drawn on a terminal: the title, a bar and the
// percentage on one line, redrawn in place. A redraw happens only when what
// it shows changes (the title, the whole percentage) and at most every
// 50 ms, except that a new display and a finished one are always drawn.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "host/pcbhost/CodePage.h"
#include "host/tarvex/TarvexHost.h"

namespace pcbhost {

class ProgressBar final : public tarvex::IProgressObserver {
 public:
  using Sink = std::function<void(std::string_view)>;
  using Clock = std::function<int64_t()>;  // milliseconds, never going back

  // `columns`: the terminal's width; titles that are not UTF-8 are read in
  // the code page.
  ProgressBar(Sink sink, Clock clock, int columns, CodePage page = CodePage::Cp1252);

  void ProgressStarted(const std::string& title, int32_t total) override;
  void ProgressStepped(int64_t steps) override;
  void ProgressFinished() override;

  // Clears the bar's line so that something else can be written (a
  // question); the next step or Resume draws it again.
  void Suspend();
  void Resume();

  // The line as drawn now (without the terminal's control characters).
  std::string Line() const;
  int64_t Redraws() const { return redraws_; }

  static constexpr int64_t kMinInterval = 50;

 private:
  // -1 for a display without a total.
  int Percent() const;
  void Draw();

  Sink sink_;
  Clock clock_;
  int columns_;
  CodePage page_;
  bool running_ = false;
  bool shown_ = false;  // the bar's line is on the screen, unfinished
  std::string title_;
  int32_t total_ = 0;
  int64_t steps_ = 0;
  int drawnPercent_ = -2;
  int64_t drawnSteps_ = -1;
  int64_t lastDraw_ = 0;
  int64_t redraws_ = 0;
};

}  // namespace pcbhost
