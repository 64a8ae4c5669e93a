#include "platform/console.hpp"

#include "platform/console_device.hpp"
#include "platform/terminal.hpp"
#include "platform/text_encoding.hpp"

namespace platform {

namespace {
// What has been printed and not yet handed to the console.
char outputBuffer[1 << 16];
}  // namespace

constinit ConsoleOut out{outputBuffer, sizeof outputBuffer};

namespace {

// Whether the console may speak UTF-8, to be converted to and from. The
// Windows console is switched to code page 932 while the programs run and
// speaks their own text, so that build has no conversion at all.
#ifdef _WIN32
constexpr bool utf8Console = false;
#else
constexpr bool utf8Console = true;
#endif

struct Script {
    std::string input;
    std::size_t readPos = 0;
    std::string output;
    ConsoleCharset charset = ConsoleCharset::cp932;
};

Script* script = nullptr;
// The lead byte of a double-byte character whose second byte is still to come.
Cp932Carry outputCarry;

// Bytes read from standard input but not yet handed out as lines.
std::string inputBuffer;
std::size_t inputPos = 0;
bool inputEnded = false;

// Fetches more bytes of standard input; false when none will come.
bool fillInput() {
    if (script != nullptr) {
        if (script->readPos >= script->input.size()) return false;
        inputBuffer.append(script->input, script->readPos, std::string::npos);
        script->readPos = script->input.size();
        return true;
    }
    if (inputEnded) return false;
    // Whoever is at the console sees everything printed before the program
    // waits for them; lines that have already come need no flush.
    flushOutput();
    char chunk[1 << 16];
    std::size_t got = readInput(chunk, sizeof chunk);
    if (got == 0) {
        inputEnded = true;
        return false;
    }
    inputBuffer.append(chunk, got);
    return true;
}

bool consoleSpeaksUtf8() {
    if constexpr (utf8Console) {
        if (script != nullptr) return script->charset == ConsoleCharset::utf8;
        static const bool utf8 = localeUsesUtf8();
        return utf8;
    } else {
        return false;
    }
}

void deliver(std::string_view bytes) {
    if (script != nullptr) {
        script->output += bytes;
    } else {
        writeStream(Stream::output, bytes);
    }
}

// Asked once: the standard streams stay what they were when the program started.
bool inputIsTerminal() {
    static const bool terminal = isConsole(Stream::input);
    return script == nullptr && terminal;
}
bool outputIsTerminal() {
    static const bool terminal = isConsole(Stream::output);
    return script == nullptr && terminal;
}

}  // namespace

ConsoleOut& ConsoleOut::appendBeyondBuffer(std::string_view text) {
    flushOutput();
    const std::size_t room = static_cast<std::size_t>(end_ - next_);
    while (text.size() > room) {
        std::char_traits<char>::copy(next_, text.data(), room);
        next_ += room;
        text.remove_prefix(room);
        flushOutput();
    }
    return *this << text;
}

void flushOutput() {
    std::string_view pending(outputBuffer, static_cast<std::size_t>(out.next_ - outputBuffer));
    if (pending.empty()) return;
    if constexpr (utf8Console) {
        if (consoleSpeaksUtf8()) {
            deliver(cp932ToUtf8(pending, outputCarry));
            out.next_ = outputBuffer;
            return;
        }
    }
    deliver(pending);
    out.next_ = outputBuffer;
}

namespace {

// Ends the output when the program ends: whatever is left is written, and a
// lead byte that never got its second byte shows as a broken character.
void finishOutput() {
    flushOutput();
    if constexpr (utf8Console) deliver(finishCp932(outputCarry));
}

struct OutputEnd {
    ~OutputEnd() {
        finishOutput();
        releaseConsole();
    }
} outputEnd;

}  // namespace

void writeError(std::string_view message) { writeStream(Stream::error, message); }

bool readLine(std::string& line) {
    line.clear();
    for (;;) {
        std::size_t feed = inputBuffer.find('\n', inputPos);
        if (feed != std::string::npos) {
            line.assign(inputBuffer, inputPos, feed - inputPos);
            inputPos = feed + 1;
            break;
        }
        // Only the start of an unfinished line is kept while more is read.
        inputBuffer.erase(0, inputPos);
        inputPos = 0;
        if (!fillInput()) {
            if (inputPos >= inputBuffer.size()) {
                inputBuffer.clear();
                inputPos = 0;
                return false;
            }
            line.assign(inputBuffer, inputPos, std::string::npos);
            inputPos = inputBuffer.size();
            break;
        }
    }
    if (inputPos >= inputBuffer.size()) {
        inputBuffer.clear();
        inputPos = 0;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if constexpr (utf8Console) {
        if (consoleSpeaksUtf8()) line = utf8ToCp932(line);
    }
    return true;
}

void waitForKey() {
    if (!inputIsTerminal()) return;
    flushOutput();
    readKeyPress(consoleSpeaksUtf8() ? ConsoleCharset::utf8 : ConsoleCharset::cp932);
}

void keyWait() {
    out << ">>> ";
    waitForKey();
    out << "\n";
}

void pauseConsole() {
    out << "続行するには何かキーを押してください . . . ";
    waitForKey();
    out << "\n";
}

void clearScreen() {
    if (!outputIsTerminal()) return;
#ifdef _WIN32
    flushOutput();
    clearConsoleWindow();
#else
    out << "\x1b[H\x1b[2J\x1b[3J";
#endif
}

ScriptedConsole::ScriptedConsole(std::string input, ConsoleCharset charset) {
    finishOutput();
    inputBuffer.clear();
    inputPos = 0;
    script = new Script{std::move(input), 0, {}, charset};
}

ScriptedConsole::~ScriptedConsole() {
    finishOutput();
    delete script;
    script = nullptr;
    inputBuffer.clear();
    inputPos = 0;
}

std::string ScriptedConsole::takeOutput() {
    flushOutput();
    std::string taken;
    taken.swap(script->output);
    return taken;
}

}  // namespace platform
