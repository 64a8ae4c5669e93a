#include "editor/report_progress.hpp"

#include <cstdio>

#include "platform/clock.hpp"
#include "platform/console.hpp"
#include "platform/console_device.hpp"

namespace {

constexpr double quietSeconds = 1.0;    // a shorter run shows no progress at all
constexpr double redrawSeconds = 0.25;

}  // namespace

ReportProgress::ReportProgress(std::uint64_t total, bool printsWhileRunning)
    : total_(total),
      terminal_(platform::isConsole(platform::Stream::error) &&
                !(printsWhileRunning && platform::isConsole(platform::Stream::output))),
      started_(platform::elapsedSeconds()) {}

void ReportProgress::update(std::uint64_t done) {
    if (!terminal_) return;
    double now = platform::elapsedSeconds();
    double elapsed = now - started_;
    if (elapsed < quietSeconds || (shown_ && now - lastShown_ < redrawSeconds)) return;
    double rate = static_cast<double>(done) / elapsed;
    double left = rate > 0 ? static_cast<double>(total_ - done) / rate : 0;
    char line[160];
    int length = std::snprintf(line, sizeof line, "\r%llu of %llu games, %.0f games/s, %.0f s left ",
                               static_cast<unsigned long long>(done), static_cast<unsigned long long>(total_), rate,
                               left);
    std::string text(line, static_cast<std::size_t>(length));
    std::size_t width = text.size() - 1;
    if (width < width_) text += std::string(width_ - width, ' ');
    if (width > width_) width_ = width;
    // Whatever the report has printed so far stands above the line.
    platform::flushOutput();
    platform::writeError(text);
    shown_ = true;
    lastShown_ = now;
}

void ReportProgress::finish() {
    if (!shown_) return;
    std::string blank(width_ + 2, ' ');
    blank.front() = '\r';
    blank.back() = '\r';
    platform::writeError(blank);
    shown_ = false;
}
