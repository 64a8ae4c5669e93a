#include "platform/console.hpp"

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "platform/alternate_screen.hpp"
#include "platform/console_charset.hpp"
#include "platform/console_device.hpp"
#include "platform/line_editor.hpp"
#include "platform/program_exit.hpp"
#include "platform/terminal.hpp"
#include "platform/text_encoding.hpp"

namespace platform {

using namespace literals;

namespace {
// What has been printed and not yet handed to the console.
char outputBuffer[1 << 16];
}  // namespace

constinit ConsoleOut out{outputBuffer, sizeof outputBuffer};

namespace {

using Kind = ConsoleCharset::Kind;

struct Script {
    std::string input;
    std::size_t readPos = 0;
    std::string output;
    ConsoleCharset charset;
};

Script* script = nullptr;
// The lead byte of a double-byte character whose second byte is still to come.
Cp932Carry outputCarry;

std::string programName;

void endConsole();

// The chunk of standard input and the last line's notes (console.hpp).
using console_detail::asIsEnd;
using console_detail::chunkEnd;
using console_detail::chunkPos;
using console_detail::inputChunk;
using console_detail::notes;
using console_detail::takeLineAsIs;
bool inputEnded = false;
bool inputBroken = false;

// The messages that ended the program, to be told once more when the
// terminal's own screen is back (the alternate screen takes them along).
std::string endingMessages;

void keepEndingMessage(std::string_view message) {
    try {
        endingMessages += message;
    } catch (const std::bad_alloc&) {
        // They were shown once; without memory they stay so.
    }
}

void tellFailure(std::string_view what, int error) {
    try {
        std::string message = programName + ": " + std::string(what) + ": " + describeError(error) + "\n";
        writeError(message);
        // Standard error on the terminal shares the alternate screen.
        if (isConsole(Stream::error)) keepEndingMessage(message);
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
    endConsole();
    tellFailure("cannot write to standard output", error);
    std::_Exit(1);
}

void forgetConsoleWays();

void noteInputFailure(int error) {
    inputEnded = true;
    inputBroken = true;
    // A key wait waits no more.
    forgetConsoleWays();
    tellFailure("cannot read standard input", error);
}

bool editingLines();
InputRead readEditedInput();
std::string shownAsTyped(std::string_view line);
bool inputIsTerminal();

InputRead readPlainInput() {
    // Whoever is at the console sees everything printed before the program
    // waits for them; lines that have already come need no flush.
    flushOutput();
    InputRead read = readInput(inputChunk, sizeof inputChunk);
    // A terminal shows what was typed, and so does the screen drawn again.
    if (read.got > 0 && inputIsTerminal() && onAlternateScreen()) {
        noteScreenOutput(shownAsTyped(std::string_view(inputChunk, read.got)));
    }
    return read;
}

bool fillInputChunk();

// Fetches the next piece of standard input into `inputChunk`; false when
// none will come.
bool fillInput() {
    if (!fillInputChunk()) return false;
    asIsEnd = linesPassAsTheyStand(std::string_view(inputChunk, chunkEnd), consoleCharset()) ? chunkEnd : 0;
    return true;
}

bool fillInputChunk() {
    chunkPos = 0;
    chunkEnd = 0;
    asIsEnd = 0;
    if (script != nullptr) {
        std::size_t left = script->input.size() - script->readPos;
        if (left == 0) return false;
        chunkEnd = left < sizeof inputChunk ? left : sizeof inputChunk;
        std::memcpy(inputChunk, script->input.data() + script->readPos, chunkEnd);
        script->readPos += chunkEnd;
        return true;
    }
    if (inputEnded) return false;
    InputRead read = editingLines() ? readEditedInput() : readPlainInput();
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

}  // namespace

// What the console speaks; the real console's set is chosen at the first use.
// It is never destroyed: the last output is flushed in it while the static
// objects are destroyed at the program's end, this one's first.
const ConsoleCharset& consoleCharset() {
    if (script != nullptr) return script->charset;
    return realConsoleCharset();
}

namespace {

void deliver(std::string_view bytes) {
    if (script != nullptr) {
        script->output += bytes;
        return;
    }
    if (int error = writeStream(Stream::output, bytes); error != 0) endOnOutputFailure(error);
    noteScreenOutput(bytes);
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

// Out of line even here: the console's own short writes stay short.
[[gnu::noinline]] ConsoleOut& ConsoleOut::appendBeyondBuffer(std::string_view text) {
    if (form_ != Form::cp932) return appendInForm(text);
    flushOutput();
    while (text.size() > room()) {
        const std::size_t piece = room();
        std::char_traits<char>::copy(next_, text.data(), piece);
        next_ += piece;
        text.remove_prefix(piece);
        flushOutput();
    }
    next_ = appendText(next_, text);
    return *this;
}

ConsoleOut::Form ConsoleOut::utf8FormNow() {
    return outputCarry.leadByte.empty() ? Form::utf8 : Form::utf8AfterLeadByte;
}

void ConsoleOut::decideForm() {
    if (!convertedAsPrinted(consoleCharset())) {
        form_ = Form::cp932;
        limit_ = end_;
    } else {
        form_ = utf8FormNow();
    }
}

[[gnu::noinline]] ConsoleOut& ConsoleOut::appendPhrase(const Phrase& phrase) {
    if (form_ == Form::undecided) decideForm();
    if (form_ == Form::utf8 && phrase.utf8.size() <= room()) {
        next_ = appendText(next_, phrase.utf8);
        return *this;
    }
    return *this << phrase.cp932;
}

char* ConsoleOut::convertInRoom(char* to, std::string_view text) {
    char* end = utf8AsPrinted(text, outputCarry, to);
    form_ = utf8FormNow();
    return end;
}

namespace {

// The UTF-8 of names converted lately, each found by its bytes (at most 16,
// zero past its end) in one of the two slots of a pair chosen by them: a
// game's few names then keep their slots, where with one slot each two names
// that met in it put each other out again and again.
struct KnownName {
    std::uint64_t bytes[2];
    std::size_t size;  // 0: a free slot
    std::size_t utf8Size;
    char utf8[48];     // three bytes a byte at most
};
KnownName knownNames[16][2];
// Which slot of each pair was found or filled last; the other is filled next.
unsigned char lastUsedName[16];

}  // namespace

char* ConsoleOut::appendShortName(char* to, std::string_view name) {
    static_assert(shortCopy == 16 && sizeof(KnownName::utf8) >= 3 * shortCopy);
    std::uint64_t bytes[2];
    shortTextWords(name, bytes);
    const std::size_t size = name.size();
    const std::size_t pair = ((bytes[0] ^ bytes[1]) * 0x9E3779B97F4A7C15u) >> 60;
    for (unsigned way = 0; way < 2; ++way) {
        const KnownName& slot = knownNames[pair][way];
        if (slot.size == size && slot.bytes[0] == bytes[0] && slot.bytes[1] == bytes[1]) {
            lastUsedName[pair] = static_cast<unsigned char>(way);
            std::memcpy(to, slot.utf8, sizeof slot.utf8);
            return to + slot.utf8Size;
        }
    }
    char* end = convertInRoom(to, name);
    const auto utf8Size = static_cast<std::size_t>(end - to);
    // A name that leaves a lead byte waiting converts differently next time.
    if (form_ == Form::utf8 && size > 0 && utf8Size <= sizeof(KnownName::utf8)) {
        const unsigned way = lastUsedName[pair] ^ 1u;
        KnownName& slot = knownNames[pair][way];
        slot = KnownName{{bytes[0], bytes[1]}, size, utf8Size, {}};
        std::memcpy(slot.utf8, to, utf8Size);
        lastUsedName[pair] = static_cast<unsigned char>(way);
    }
    return end;
}

[[gnu::noinline]] ConsoleOut& ConsoleOut::appendInForm(std::string_view text) {
    if (form_ == Form::undecided) decideForm();
    if (form_ == Form::cp932) return *this << text;
    // Converted in pieces that fit in the room left, or in an empty buffer.
    while (!text.empty()) {
        std::size_t fitting = room() < utf8Room(0) ? 0 : (room() - utf8Room(0)) / 3;
        if (fitting == 0) {
            flushOutput();
            continue;
        }
        if (fitting > text.size()) fitting = text.size();
        next_ = convertInRoom(next_, text.substr(0, fitting));
        text.remove_prefix(fitting);
    }
    return *this;
}

void flushOutput() {
    std::string_view pending(outputBuffer, static_cast<std::size_t>(out.next_ - outputBuffer));
    if (pending.empty()) return;
    out.next_ = outputBuffer;
    // A UTF-8 buffer was converted as it was printed.
    if (out.form_ == ConsoleOut::Form::cp932) {
        writeInCharset(pending, consoleCharset(), outputCarry, deliver);
    } else {
        deliver(pending);
    }
}

// The prompt of the line about to be read is the unfinished line at the end
// of what was printed (after its last line break, or after a clear of the
// screen that came later): it is taken out of the output, which is written
// up to its start, and handed over as the console has it (lines are edited
// at a cp932 or a UTF-8 terminal only, whose output buffers hold their own
// text).
std::string takeUnfinishedLine() {
    std::string_view pending(outputBuffer, static_cast<std::size_t>(out.next_ - outputBuffer));
    std::size_t lineEnd = pending.rfind('\n');
    std::size_t start = lineEnd == std::string_view::npos ? 0 : lineEnd + 1;
    std::size_t clear = pending.rfind(clearSequence);
    if (clear != std::string_view::npos && clear + clearSequence.size() > start) {
        start = clear + clearSequence.size();
    }
    std::string line(pending.substr(start));
    out.next_ = outputBuffer + start;
    flushOutput();
    return line;
}

namespace {

// Lines typed at a terminal are edited there, in the console's character
// set when that is UTF-8 or cp932; a terminal of another set (EUC-JP, ...)
// types its lines as before. Asked once, and only for the real console.
bool editingLines() {
    static const bool editing = [] {
        if (!inputIsTerminal() || !outputIsTerminal()) return false;
        Kind kind = consoleCharset().kind;
        if (kind == Kind::iconv) return false;
        return startLineEditor(programName, kind == Kind::utf8 ? TerminalText::utf8 : TerminalText::cp932);
    }();
    return editing;
}

// The typed line as the terminal shows it, for the record of the screen:
// a control character shows as ^ and a letter, as the line editor shows it.
std::string shownAsTyped(std::string_view line) {
    std::string shown;
    for (char c : line) {
        auto byte = static_cast<unsigned char>(c);
        if (c != '\n' && (byte < 0x20 || byte == 0x7F)) {
            shown += '^';
            shown += static_cast<char>(byte ^ 0x40);
        } else {
            shown += c;
        }
    }
    return shown;
}

// The line editor's line, handed over in pieces of `inputChunk`'s size.
std::string editedLine;
std::size_t editedPos = 0;

InputRead readEditedInput() {
    if (editedPos == editedLine.size()) {
        editedPos = 0;
        std::string prompt = takeUnfinishedLine();
        InputRead read = readEditedLine(prompt, editedLine);
        if (read.got == 0) {
            // Ctrl-D shows as ^D after the prompt; what comes next starts a line of its own.
            if (read.error == 0) deliver("\n");
            editedLine.clear();
            return read;
        }
        noteScreenOutput(prompt + shownAsTyped(editedLine));
    }
    std::size_t piece = editedLine.size() - editedPos;
    if (piece > sizeof inputChunk) piece = sizeof inputChunk;
    std::memcpy(inputChunk, editedLine.data() + editedPos, piece);
    editedPos += piece;
    return {piece, 0};
}

}  // namespace

namespace {

// Ends the output when the program ends: whatever is left is written, and a
// lead byte that never got its second byte shows as a broken character.
void finishOutput() {
    flushOutput();
    std::string_view end = endOfOutputInCharset(consoleCharset(), outputCarry);
    if (!end.empty()) deliver(end);
}

// Gives the console back; once the terminal's own screen is back from the
// alternate one, the messages that ended the program are told again there.
void endConsole() {
    bool fromAlternateScreen = onAlternateScreen();
    releaseConsole();
    if (!fromAlternateScreen || endingMessages.empty()) return;
    std::string messages;
    messages.swap(endingMessages);
    writeError(wholeTextInCharset(messages, consoleCharset()));
}

struct OutputEnd {
    ~OutputEnd() {
        finishOutput();
        endConsole();
    }
} outputEnd;

}  // namespace

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
    lineFromCharset(bytes, consoleCharset(), line, notes.lostCharacters);
}

}  // namespace

namespace {

// The line at the head of `inputChunk` when its line feed has come too and
// the chunk's lines pass as they stand, however long it is (up to the kept
// length): handed out as a view of the chunk, with no copy on the way. False,
// with nothing taken, otherwise.
bool takeWholeLineAsIs(std::string_view& line) {
    if (chunkPos >= asIsEnd) return false;
    const char* from = inputChunk + chunkPos;
    const void* feed = std::memchr(from, '\n', chunkEnd - chunkPos);
    if (feed == nullptr) return false;
    std::size_t length = static_cast<std::size_t>(static_cast<const char*>(feed) - from);
    if (length > lineKeepLimit) return false;
    takeLineAsIs(line, length);
    return true;
}

// Any line: gathered from as many chunks as it spans, and converted from the
// console's character set.
bool readGatheredLine(std::string& line) {
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

// The last line that readLine handed out as a view and that could not be
// shown in the chunk itself.
std::string gatheredLine;

}  // namespace

bool readLine(std::string& line) {
    notes = {};
    std::string_view asIs;
    if (takeWholeLineAsIs(asIs)) {
        line.assign(asIs);
        return true;
    }
    return readGatheredLine(line);
}

bool console_detail::readLongerOrGatheredLine(std::string_view& line) {
    if (takeWholeLineAsIs(line)) return true;
    bool got = readGatheredLine(gatheredLine);
    line = gatheredLine;
    return got;
}

LineNotes lastLineNotes() { return notes; }

bool inputFailed() { return inputBroken; }

namespace {

// Whether a key wait waits: only at a terminal whose input has not failed.
bool keyWaits() { return inputIsTerminal() && !inputBroken; }

}  // namespace

void waitForKey() {
    if (!keyWaits()) return;
    flushOutput();
    int error = readKeyPress(consoleCharset());
    if (error != 0) noteInputFailure(error);
}

namespace {

// The ways of keyWait and clearScreen are worked out anew.
void forgetConsoleWays() {
    console_detail::keyWaitWay = console_detail::ConsoleWay::undecided;
    console_detail::clearWay = console_detail::ConsoleWay::undecided;
}

}  // namespace

void console_detail::keyWaitBeyondPlain() {
    keyWaitWay = keyWaits() ? ConsoleWay::terminal : ConsoleWay::plain;
    if (keyWaitWay == ConsoleWay::plain) {
        out << keyWaitLine;
        return;
    }
    out << ">>> "_phrase;
    waitForKey();
    out << '\n';
}

void pauseConsole() {
    out << "続行するには何かキーを押してください . . . "_phrase;
    waitForKey();
    out << "\n";
}

void console_detail::clearScreenBeyondPlain() {
    clearWay = outputIsTerminal() ? ConsoleWay::terminal : ConsoleWay::plain;
    if (clearWay == ConsoleWay::plain) return;
    flushOutput();
    out << clearConsoleWindow();
}

void useAlternateScreen() {
    if (!outputIsTerminal() || onAlternateScreen()) return;
    flushOutput();
    if (int error = enterAlternateScreen(); error != 0) endOnOutputFailure(error);
}

void printEndingMessage(std::string_view message) {
    out << message;
    keepEndingMessage(message);
}

void stopProgram(std::string_view message) {
    printEndingMessage(message);
    pauseConsole();
    endProgram(1);
}

ScriptedConsole::ScriptedConsole(std::string input, ConsoleCharset charset) {
    finishOutput();
    chunkPos = 0;
    chunkEnd = 0;
    asIsEnd = 0;
    notes = {};
    script = new Script{std::move(input), 0, {}, std::move(charset)};
    out.restartForm();
    forgetConsoleWays();
}

ScriptedConsole::~ScriptedConsole() {
    finishOutput();
    delete script;
    script = nullptr;
    chunkPos = 0;
    chunkEnd = 0;
    asIsEnd = 0;
    out.restartForm();
    forgetConsoleWays();
}

std::string ScriptedConsole::takeOutput() {
    flushOutput();
    std::string taken;
    taken.swap(script->output);
    return taken;
}

}  // namespace platform
