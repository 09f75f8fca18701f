#include "host/pcbhost/ProgressBar.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace pcbhost {

namespace {

// A UTF-8 title cut to `width` characters ("..." at the end of a cut
// title), characters kept whole; control characters become blanks.
std::string Fit(const std::string& title, size_t width) {
  std::string out;
  std::vector<size_t> starts;  // where each character starts in `out`
  for (size_t i = 0; i < title.size();) {
    const size_t n = std::max<size_t>(1, Utf8SequenceLength(title, i));
    const auto c = static_cast<unsigned char>(title[i]);
    starts.push_back(out.size());
    if (c < 0x20 || c == 0x7F) out += ' ';
    else out.append(title, i, n);
    i += n;
  }
  if (starts.size() <= width) return out;
  if (width < 3) return out.substr(0, starts[width]);
  return out.substr(0, starts[width - 3]) + "...";
}

}  // namespace

ProgressBar::ProgressBar(Sink sink, Clock clock, int columns, CodePage page)
    : sink_(std::move(sink)), clock_(std::move(clock)), columns_(std::max(columns, 40)), page_(page) {}

int ProgressBar::Percent() const {
  if (total_ <= 0) return -1;
  return static_cast<int>(std::min<int64_t>(100, steps_ * 100 / total_));
}

std::string ProgressBar::Line() const {
  // "title [#####.....]  42%" in the terminal's width, one column spare.
  const int percent = Percent();
  const size_t width = static_cast<size_t>(columns_ - 1);
  const size_t barWidth = percent < 0 ? 0 : std::min<size_t>(30, width / 3);
  const std::string tail = percent < 0 ? (steps_ > 0 ? "  " + std::to_string(steps_) : std::string(" ..."))
                                       : " " + std::string(percent < 10 ? "  " : percent < 100 ? " " : "") +
                                             std::to_string(percent) + "%";
  const size_t room = width - std::min(width, barWidth + (barWidth ? 3 : 0) + tail.size());
  std::string line = Fit(title_, room);
  if (barWidth) {
    const size_t filled = barWidth * static_cast<size_t>(percent) / 100;
    line += " [" + std::string(filled, '#') + std::string(barWidth - filled, '.') + "]";
  }
  return line + tail;
}

void ProgressBar::Draw() {
  sink_("\r" + Line() + "\x1b[K");
  shown_ = true;
  drawnPercent_ = Percent();
  drawnSteps_ = steps_;
  lastDraw_ = clock_();
  ++redraws_;
}

void ProgressBar::ProgressStarted(const std::string& title, int32_t total) {
  if (running_ && shown_) sink_("\n");
  running_ = true;
  title_ = NameToUtf8(title, page_);  // a title holding a UTF-8 path stays as it is
  total_ = total;
  steps_ = 0;
  Draw();
}

void ProgressBar::ProgressStepped(int64_t steps) {
  if (!running_) return;
  steps_ = steps;
  const bool changed = total_ > 0 ? Percent() != drawnPercent_ : steps_ != drawnSteps_;
  if (!shown_ || (changed && clock_() - lastDraw_ >= kMinInterval)) Draw();
}

void ProgressBar::ProgressFinished() {
  if (!running_) return;
  Draw();
  sink_("\n");
  running_ = false;
  shown_ = false;
}

void ProgressBar::Suspend() {
  if (!shown_) return;
  sink_("\r\x1b[K");
  shown_ = false;
}

void ProgressBar::Resume() {
  if (running_ && !shown_) Draw();
}

}  // namespace pcbhost
