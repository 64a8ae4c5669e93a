#include "platform/console_charset.hpp"

#include <cstring>

// The console is switched to code page 932 while the programs run
// (console_device.cpp): it speaks their own text, and nothing is converted.
namespace platform {

const ConsoleCharset& realConsoleCharset() {
    static const ConsoleCharset& cp932 = *new ConsoleCharset;
    return cp932;
}

bool convertedAsPrinted(const ConsoleCharset&) { return false; }

// Never asked for: no output here is converted as it is printed.
char* utf8AsPrinted(std::string_view cp932, Cp932Carry&, char* out) {
    std::memcpy(out, cp932.data(), cp932.size());
    return out + cp932.size();
}

void writeInCharset(std::string_view cp932, const ConsoleCharset&, Cp932Carry&, OutputSink sink) { sink(cp932); }

std::string_view endOfOutputInCharset(const ConsoleCharset&, Cp932Carry&) { return {}; }

std::string wholeTextInCharset(std::string_view cp932, const ConsoleCharset&) { return std::string(cp932); }

bool linesPassAsTheyStand(std::string_view, const ConsoleCharset&) { return true; }

void lineFromCharset(std::string_view bytes, const ConsoleCharset&, std::string& line, bool&) { line.assign(bytes); }

}  // namespace platform
