#pragma once
#include <cstdint>
#include <string>

// A progress line for a long run of the report: on standard error, only
// when it is a terminal, only once the run has lasted about a second, and
// rewritten in place a few times a second (games done, rate, time left).
// finish() takes it away again, so that nothing of it stays on the screen.
// A run that prints as it goes onto the same terminal shows its own
// progress, and gets no line that its output would run into.
class ReportProgress {
public:
    ReportProgress(std::uint64_t total, bool printsWhileRunning);
    ~ReportProgress() { finish(); }
    ReportProgress(const ReportProgress&) = delete;
    ReportProgress& operator=(const ReportProgress&) = delete;

    // Cheap enough to call after every game: it looks at the clock only now
    // and then.
    void advance(std::uint64_t done) {
        if (done % checkEvery == 0) update(done);
    }
    void finish();

private:
    static constexpr std::uint64_t checkEvery = 256;
    void update(std::uint64_t done);

    std::uint64_t total_;
    bool terminal_;
    double started_;
    double lastShown_ = 0;
    bool shown_ = false;
    std::size_t width_ = 0;
};
