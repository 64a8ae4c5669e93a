#include "platform/console.hpp"

#include <cstdlib>
#include <cstring>
#include <new>

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

std::string programName;

// Bytes read from standard input but not yet handed out as lines. Reads come
// in pieces of this size, and a line is gathered from as many as it spans.
char inputChunk[1 << 16];
std::size_t chunkPos = 0;
std::size_t chunkEnd = 0;
bool inputEnded = false;
bool inputBroken = false;
LineNotes notes;

void tellFailure(std::string_view what, int error) {
    try {
        writeError(programName + ": " + std::string(what) + ": " + describeError(error) + "\n");
    } catch (const std::bad_alloc&) {
        // Without memory for the whole line, its fixed parts are still told.
        for (std::string_view part : {std::string_view(programName), std::string_view(": "), what,
                                      std::string_view("\n")}) {
            writeError(part);
        }
    }
}

// Standard output failed: nothing more can be shown, and the program ends
// now, with the console given back first.
[[noreturn]] void endOnOutputFailure(int error) {
    releaseConsole();
    tellFailure("cannot write to standard output", error);
    std::_Exit(1);
}

void noteInputFailure(int error) {
    inputEnded = true;
    inputBroken = true;
    tellFailure("cannot read standard input", error);
}

// Fetches the next piece of standard input into `inputChunk`; false when
// none will come.
bool fillInput() {
    chunkPos = 0;
    chunkEnd = 0;
    if (script != nullptr) {
        std::size_t left = script->input.size() - script->readPos;
        if (left == 0) return false;
        chunkEnd = left < sizeof inputChunk ? left : sizeof inputChunk;
        std::memcpy(inputChunk, script->input.data() + script->readPos, chunkEnd);
        script->readPos += chunkEnd;
        return true;
    }
    if (inputEnded) return false;
    // Whoever is at the console sees everything printed before the program
    // waits for them; lines that have already come need no flush.
    flushOutput();
    InputRead read = readInput(inputChunk, sizeof inputChunk);
    if (read.got == 0) {
        if (read.error != 0) {
            noteInputFailure(read.error);
        } else {
            inputEnded = true;
        }
        return false;
    }
    chunkEnd = read.got;
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
        return;
    }
    if (int error = writeStream(Stream::output, bytes); error != 0) endOnOutputFailure(error);
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

ConsoleCharset consoleCharset() { return consoleSpeaksUtf8() ? ConsoleCharset::utf8 : ConsoleCharset::cp932; }

void nameProgram(std::string_view name) { programName = name; }

void writeError(std::string_view message) { writeStream(Stream::error, message); }

namespace {

// The bytes of the line being read, as far as they are kept.
char lineBytes[lineKeepLimit];

// What is handed out of an over-long line: more bytes than any answer has,
// in any charset, yet no more than its use needs (none: it is a wrong answer).
constexpr std::size_t overLongShown = 256;

// A line for which no memory is left is handed out as this many bytes,
// which every string holds without asking for memory: still more than any
// answer, command or word has.
constexpr std::size_t linePlaceholderSize = 15;

// Gathers the next line into `lineBytes`, as far as it fits: `length` is the
// whole line's, without its line end. False at the end of input.
bool gatherLine(std::size_t& length) {
    bool started = false;  // a byte of this line, or its line feed, has come
    char lastByte = '\0';
    length = 0;
    for (;;) {
        if (chunkPos == chunkEnd && !fillInput()) {
            if (!started) return false;
            break;
        }
        started = true;
        const char* from = inputChunk + chunkPos;
        std::size_t available = chunkEnd - chunkPos;
        const void* feed = std::memchr(from, '\n', available);
        std::size_t piece = feed != nullptr ? static_cast<std::size_t>(static_cast<const char*>(feed) - from)
                                            : available;
        if (length < lineKeepLimit) {
            std::size_t room = lineKeepLimit - length;
            std::memcpy(lineBytes + length, from, piece < room ? piece : room);
        }
        if (piece > 0) lastByte = from[piece - 1];
        length += piece;
        chunkPos += piece;
        if (feed != nullptr) {
            ++chunkPos;
            break;
        }
    }
    // A carriage return before the line feed is no part of the line. (In a
    // line one byte longer than the kept bytes, it is the byte not kept.)
    if (lastByte == '\r') --length;
    return true;
}

void handOut(std::string& line, std::string_view bytes) {
    line.assign(bytes);
    if constexpr (utf8Console) {
        if (consoleSpeaksUtf8()) line = utf8ToCp932(line, notes.lostCharacters);
    }
}

}  // namespace

bool readLine(std::string& line) {
    notes = {};
    std::size_t length = 0;
    if (!gatherLine(length)) {
        line.clear();
        return false;
    }
    notes.overLong = length > lineKeepLimit;
    try {
        handOut(line, std::string_view(lineBytes, notes.overLong ? overLongShown : length));
    } catch (const std::bad_alloc&) {
        // No memory for this line: it cannot be a valid answer.
        notes = {true, false};
        line.assign(linePlaceholderSize, '?');
    }
    return true;
}

LineNotes lastLineNotes() { return notes; }

bool inputFailed() { return inputBroken; }

void waitForKey() {
    if (!inputIsTerminal() || inputBroken) return;
    flushOutput();
    int error = readKeyPress(consoleSpeaksUtf8() ? ConsoleCharset::utf8 : ConsoleCharset::cp932);
    if (error != 0) noteInputFailure(error);
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
    chunkPos = 0;
    chunkEnd = 0;
    notes = {};
    script = new Script{std::move(input), 0, {}, charset};
}

ScriptedConsole::~ScriptedConsole() {
    finishOutput();
    delete script;
    script = nullptr;
    chunkPos = 0;
    chunkEnd = 0;
}

std::string ScriptedConsole::takeOutput() {
    flushOutput();
    std::string taken;
    taken.swap(script->output);
    return taken;
}

}  // namespace platform
