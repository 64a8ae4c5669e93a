#pragma once
#include <algorithm>
#include <bit>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/decimal.hpp"
#include "platform/phrase.hpp"
#include "platform/text_encoding.hpp"

// The console: every byte that the programs print or read passes through
// here. Output is buffered; it is flushed whenever the program is about to
// wait for input (a line that has not come yet, a key press) and when the
// program ends, so that nothing printed is ever held back from a reader.
namespace platform {

// The buffer a line is written for. Code that prints many lines may be made
// twice, once for a buffer of any form and once for a UTF-8 buffer
// (ConsoleOut::holdsUtf8), where a phrase goes in as a copy of its UTF-8 form
// without a call; either is right whatever the buffer holds.
enum class LineForm { any, utf8 };

// Appends to a buffer of fixed size in line: a turn of the game prints a few
// dozen pieces, and each is a copy of a few bytes unless the buffer is full.
// A line of several pieces goes in with put(), which checks the room once for
// the whole line; numbers are written straight into the buffer.
//
// The buffer holds what the console is handed. For a console that speaks
// cp932 that is the programs' text as it is (a console of another set, but
// UTF-8, has it converted through iconv when it is flushed). For a UTF-8
// console it is UTF-8, made as the text is printed: a phrase (phrase.hpp) is
// a copy of its UTF-8 form, any other text is converted on its way in. The
// form is chosen at the first print, when the console's set is asked.
//
// A cp932 buffer's appends test only that the text fits before `limit_`,
// which is the buffer's end in that form and its start in every other: there
// nothing fits, and the out-of-line path appends as the form wants.
class ConsoleOut {
public:
    constexpr ConsoleOut(char* buffer, std::size_t size)
        : begin_(buffer), next_(buffer), end_(buffer + size), limit_(buffer) {}

    ConsoleOut& operator<<(std::string_view text) {
        if (!fitsInCp932(text.size())) return appendBeyondBuffer(text);
        next_ = appendText(next_, text);
        return *this;
    }
    ConsoleOut& operator<<(const char* text) { return *this << std::string_view(text); }
    ConsoleOut& operator<<(char c) { return *this << std::string_view(&c, 1); }
    ConsoleOut& operator<<(const Phrase& phrase) {
        if (!fitsInCp932(phrase.cp932.size())) return appendPhrase(phrase);
        next_ = appendText(next_, phrase.cp932);
        return *this;
    }
    template <PhraseLiteral P>
    ConsoleOut& operator<<(P phrase) {
        return put(phrase);
    }

    template <std::integral T>
        requires(!std::same_as<T, char> && !std::same_as<T, bool>)
    ConsoleOut& operator<<(T value) {
        if (!fitsInCp932(mostDecimalChars<T>)) [[unlikely]] {
            char digits[mostDecimalChars<T>];
            char* end = writeDecimal(digits, value);
            return appendBeyondBuffer(std::string_view(digits, static_cast<std::size_t>(end - digits)));
        }
        next_ = writeDecimal(next_, value);
        return *this;
    }

    // Appends the pieces in order, as `<<` one after another would: phrases,
    // texts (string views, NUL-terminated buffers such as a record's name),
    // single characters and numbers. Every piece is worked out before the
    // first is appended. When the whole line fits, the room is checked once
    // and the pieces are copied without a check each; otherwise they go in
    // one by one, flushing as the buffer fills, as `<<` does.
    template <typename... Pieces>
    [[gnu::always_inline]] ConsoleOut& put(const Pieces&... pieces) {
        return putPieces(asPiece(pieces)...);
    }

    // put() for code made for buffers of the form `F`.
    template <LineForm F, typename... Pieces>
    [[gnu::always_inline]] ConsoleOut& putIn(const Pieces&... pieces) {
        if constexpr (F == LineForm::utf8) {
            return putUtf8Line(asPiece(pieces)...);
        } else {
            return putPieces(asPiece(pieces)...);
        }
    }

    // Whether the buffer holds UTF-8: code made for LineForm::utf8 fits it.
    bool holdsUtf8() const { return form_ == Form::utf8 || form_ == Form::utf8AfterLeadByte; }

private:
    // What the buffer holds (see above).
    enum class Form : unsigned char {
        cp932,              // cp932: the console's, or converted when flushed
        utf8,               // UTF-8, converted as printed
        utf8AfterLeadByte,  // UTF-8, and the lead byte of a double-byte character waits for its second byte
        undecided,          // nothing printed yet
    };

    // Whether `size` bytes fit in a cp932 buffer (never in another).
    bool fitsInCp932(std::size_t size) const { return static_cast<std::ptrdiff_t>(size) <= limit_ - next_; }
    std::size_t room() const { return static_cast<std::size_t>(end_ - next_); }

    static char* appendText(char* to, std::string_view text) {
        std::memcpy(to, text.data(), text.size());
        return to + text.size();
    }

    // A short text is copied as this many bytes, a fixed size, which needs
    // no call; the bytes past its end are written over by what follows.
    static constexpr std::size_t shortCopy = 16;

    // A text at the start of an array of N bytes, N at least shortCopy: its
    // first shortCopy bytes can be read whatever its length.
    template <std::size_t N>
    struct TextInArray {
        std::string_view text;
    };

    // A padded phrase (phrase.hpp) as a piece of put().
    template <typename P>
    struct Padded {
        const P* phrase;
    };
    static constexpr bool isPaddedPhrase(const void*) { return false; }
    template <std::size_t N, std::size_t M>
    static constexpr bool isPaddedPhrase(const PaddedPhrase<N, M>*) {
        return true;
    }

    // A piece of put() as it is appended: texts as views, the rest as they
    // are. A text in an array (a record's name, a literal) is measured within
    // the array's bounds.
    template <typename Piece>
    static auto asPiece(const Piece& piece) {
        if constexpr (std::same_as<Piece, Phrase> || PhraseLiteral<Piece>) {
            return piece;
        } else if constexpr (isPaddedPhrase(static_cast<const Piece*>(nullptr))) {
            return Padded<Piece>{&piece};
        } else if constexpr (std::is_array_v<Piece>) {
            std::string_view text(piece, textLength(piece, std::extent_v<Piece>));
            if constexpr (std::extent_v<Piece> >= shortCopy) {
                return TextInArray<std::extent_v<Piece>>{text};
            } else {
                return text;
            }
        } else if constexpr (std::is_convertible_v<const Piece&, std::string_view>) {
            return std::string_view(piece);
        } else {
            static_assert(std::integral<Piece> && !std::same_as<Piece, bool>, "put() takes texts, characters and numbers");
            return piece;
        }
    }

    // The length of the NUL-terminated text in `size` bytes at `text` (all of
    // them when none is NUL): the first 16 bytes in one compare where the
    // processor has SSE2, then eight bytes at a time, a word with a zero byte
    // telling where the first one is; no byte past `size` is read. Names are
    // short: this is a few instructions where a call of strlen was more.
    static std::size_t textLength(const char* text, std::size_t size) {
        std::size_t at = 0;
#if defined(__SSE2__)
        // Most names end within their first 16 bytes: one compare finds it.
        if (size >= 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
            const auto zeros = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())));
            if (zeros != 0) return static_cast<std::size_t>(std::countr_zero(zeros));
            at = 16;
        }
#endif
        if constexpr (std::endian::native == std::endian::little) {
            constexpr std::uint64_t ones = 0x0101010101010101u;
            constexpr std::uint64_t highs = 0x8080808080808080u;
            for (; at + 8 <= size; at += 8) {
                std::uint64_t word;
                std::memcpy(&word, text + at, 8);
                // The lowest byte flagged here is the first zero byte.
                std::uint64_t zeros = (word - ones) & ~word & highs;
                if (zeros != 0) return at + static_cast<std::size_t>(std::countr_zero(zeros)) / 8;
            }
        }
        while (at < size && text[at] != '\0') ++at;
        return at;
    }

    static std::size_t mostBytes(std::string_view text) { return text.size(); }
    template <std::size_t N>
    static std::size_t mostBytes(TextInArray<N>) {
        return N;  // at least the text's length and at least shortCopy
    }
    template <std::size_t N, std::size_t M>
    static std::size_t mostBytes(Padded<PaddedPhrase<N, M>>) {
        return N;
    }
    static std::size_t mostBytes(char) { return 1; }
    template <std::integral T>
    static std::size_t mostBytes(T) {
        return mostDecimalChars<T>;
    }

    static char* appendInRoom(char* to, std::string_view text) { return appendText(to, text); }
    template <std::size_t N>
    static char* appendInRoom(char* to, TextInArray<N> piece) {
        if (piece.text.size() > shortCopy) return appendText(to, piece.text);
        std::memcpy(to, piece.text.data(), shortCopy);
        return to + piece.text.size();
    }

    template <std::size_t N, std::size_t M>
    static char* appendInRoom(char* to, Padded<PaddedPhrase<N, M>> piece) {
        std::memcpy(to, piece.phrase->cp932Bytes, N);
        return to + piece.phrase->cp932Size;
    }

    // A piece as `<<` takes it, when a line does not fit.
    template <std::size_t N>
    static std::string_view checked(TextInArray<N> piece) {
        return piece.text;
    }
    // A phrase taken one at a time goes the way of a phrase chosen at run time.
    template <PhraseLiteral P>
    static Phrase checked(P) {
        return {P::cp932, P::utf8};
    }
    template <typename P>
    static Phrase checked(Padded<P> piece) {
        return piece.phrase->phrase();
    }
    template <typename Piece>
    static Piece checked(Piece piece) {
        return piece;
    }
    static char* appendInRoom(char* to, char c) {
        *to = c;
        return to + 1;
    }
    template <std::integral T>
    [[gnu::always_inline]] static char* appendInRoom(char* to, T value) {
        return writeDecimal(to, value);
    }

    // A piece as a cp932 buffer takes it: a phrase as its cp932 bytes.
    static std::string_view inCp932(const Phrase& phrase) { return phrase.cp932; }
    template <PhraseLiteral P>
    static std::string_view inCp932(P) {
        return P::cp932;
    }
    template <typename Piece>
    static Piece inCp932(Piece piece) {
        return piece;
    }

    template <typename... Pieces>
    [[gnu::always_inline]] ConsoleOut& putPieces(Pieces... pieces) {
        if (!fitsInCp932((mostBytes(inCp932(pieces)) + ...))) return putBeyondCp932(pieces...);
        return appendCp932Pieces(pieces...);
    }

    // Appends a line that fits in a cp932 buffer.
    template <typename... Pieces>
    [[gnu::always_inline]] ConsoleOut& appendCp932Pieces(Pieces... pieces) {
        char* to = next_;
        ((to = appendInRoom(to, inCp932(pieces))), ...);
        next_ = to;
        return *this;
    }

    // A line that does not fit in a cp932 buffer, or a buffer of another
    // form: the form is chosen at the first print.
    template <typename... Pieces>
    [[gnu::noinline]] ConsoleOut& putBeyondCp932(Pieces... pieces) {
        if (form_ == Form::undecided) decideForm();
        if (form_ != Form::cp932) {
            if ((mostUtf8Bytes(pieces) + ...) > room()) return (*this << ... << checked(pieces));
            return appendUtf8Pieces(form_ == Form::utf8, pieces...);
        }
        if (fitsInCp932((mostBytes(inCp932(pieces)) + ...))) return appendCp932Pieces(pieces...);
        return (*this << ... << checked(inCp932(pieces)));
    }

    // --- a UTF-8 buffer -------------------------------------------------

    // The most bytes that a piece takes in a UTF-8 buffer: a text converted
    // needs room for three bytes a byte and some slack; a phrase may have to
    // be converted too, when a lead byte waits before it.
    static constexpr std::size_t utf8Room(std::size_t size) { return platform::utf8Room(size); }
    static std::size_t mostUtf8Bytes(const Phrase& phrase) {
        return std::max(phrase.utf8.size(), utf8Room(phrase.cp932.size()));
    }
    template <PhraseLiteral P>
    static constexpr std::size_t mostUtf8Bytes(P) {
        return std::max(P::utf8.size(), utf8Room(P::cp932.size()));
    }
    template <std::size_t N, std::size_t M>
    static constexpr std::size_t mostUtf8Bytes(Padded<PaddedPhrase<N, M>>) {
        return std::max(M, utf8Room(N));
    }
    static std::size_t mostUtf8Bytes(std::string_view text) { return utf8Room(text.size()); }
    template <std::size_t N>
    static std::size_t mostUtf8Bytes(TextInArray<N>) {
        return utf8Room(N);
    }
    static std::size_t mostUtf8Bytes(char) { return utf8Room(1); }
    template <std::integral T>
    static std::size_t mostUtf8Bytes(T) {
        return utf8Room(mostDecimalChars<T>);
    }

    // Each appends one piece to a UTF-8 buffer with the room for it; `clean`
    // tells that no lead byte waits, and is kept up to date.
    template <PhraseLiteral P>
    [[gnu::always_inline]] char* appendUtf8InRoom(char* to, P, bool& clean) {
        if (clean) return appendText(to, P::utf8);
        return convertInRoom(to, P::cp932, clean);
    }
    char* appendUtf8InRoom(char* to, const Phrase& phrase, bool& clean) {
        if (clean) return appendText(to, phrase.utf8);
        return convertInRoom(to, phrase.cp932, clean);
    }
    template <std::size_t N, std::size_t M>
    [[gnu::always_inline]] char* appendUtf8InRoom(char* to, Padded<PaddedPhrase<N, M>> piece, bool& clean) {
        if (clean) {
            std::memcpy(to, piece.phrase->utf8Bytes, M);
            return to + piece.phrase->utf8Size;
        }
        return convertInRoom(to, std::string_view(piece.phrase->cp932Bytes, piece.phrase->cp932Size), clean);
    }
    char* appendUtf8InRoom(char* to, std::string_view text, bool& clean) { return convertInRoom(to, text, clean); }
    template <std::size_t N>
    [[gnu::always_inline]] char* appendUtf8InRoom(char* to, TextInArray<N> piece, bool& clean) {
        // A name is mostly short, and ASCII as often as not.
        if (clean && piece.text.size() <= shortCopy) {
            if (shortAscii(piece.text)) {
                std::memcpy(to, piece.text.data(), shortCopy);
                return to + piece.text.size();
            }
            char* end = appendShortName(to, piece.text);
            clean = form_ == Form::utf8;
            return end;
        }
        return convertInRoom(to, piece.text, clean);
    }

    // The bytes of a text of at most shortCopy bytes, at the start of an
    // array of at least shortCopy, as two words, zero past the text's end.
    static void shortTextWords(std::string_view text, std::uint64_t (&words)[2]) {
        static_assert(shortCopy == 2 * sizeof(std::uint64_t));
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(words, text.data(), shortCopy);
            const std::size_t size = text.size();
            if (size < 8) {
                words[0] &= (std::uint64_t{1} << (8 * size)) - 1;
                words[1] = 0;
            } else if (size < 16) {
                words[1] &= (std::uint64_t{1} << (8 * (size - 8))) - 1;
            }
        } else {
            unsigned char bytes[shortCopy] = {};
            for (std::size_t i = 0; i < text.size(); ++i) bytes[i] = static_cast<unsigned char>(text[i]);
            std::memcpy(words, bytes, shortCopy);
        }
    }
    static bool shortAscii(std::string_view text) {
        std::uint64_t words[2];
        shortTextWords(text, words);
        return ((words[0] | words[1]) & 0x8080808080808080u) == 0;
    }

    [[gnu::always_inline]] char* appendUtf8InRoom(char* to, char c, bool& clean) {
        if (clean && static_cast<unsigned char>(c) < 0x80) {
            *to = c;
            return to + 1;
        }
        return convertInRoom(to, std::string_view(&c, 1), clean);
    }
    template <std::integral T>
    [[gnu::always_inline]] char* appendUtf8InRoom(char* to, T value, bool& clean) {
        if (clean) return writeDecimal(to, value);
        char digits[mostDecimalChars<T>];
        char* end = writeDecimal(digits, value);
        return convertInRoom(to, std::string_view(digits, static_cast<std::size_t>(end - digits)), clean);
    }

    // Appends a line that fits in a UTF-8 buffer; `clean` as above.
    template <typename... Pieces>
    [[gnu::always_inline]] ConsoleOut& appendUtf8Pieces(bool clean, Pieces... pieces) {
        char* to = next_;
        ((to = appendUtf8InRoom(to, pieces, clean)), ...);
        next_ = to;
        return *this;
    }

    // put() in code made for a UTF-8 buffer: in line when the buffer is one,
    // with no lead byte waiting, and the line fits.
    template <typename... Pieces>
    [[gnu::always_inline]] ConsoleOut& putUtf8Line(Pieces... pieces) {
        if (form_ != Form::utf8 || (mostUtf8Bytes(pieces) + ...) > room()) [[unlikely]] {
            return putBeyondCp932(pieces...);
        }
        return appendUtf8Pieces(true, pieces...);
    }

    friend void flushOutput();
    friend std::string takeUnfinishedLine();
    friend class ScriptedConsole;
    // `<<` of a text that does not fit in a cp932 buffer, or of any text to a
    // buffer of another form. A cp932 buffer is flushed and takes the text in
    // as many buffers as it fills.
    ConsoleOut& appendBeyondBuffer(std::string_view text);
    // `<<` of a phrase, likewise.
    ConsoleOut& appendPhrase(const Phrase& phrase);
    // `<<` of a text to a buffer that is not (yet) known to be cp932.
    ConsoleOut& appendInForm(std::string_view text);
    // Converts cp932 text into UTF-8 at `to`, which has utf8Room(text.size())
    // bytes; a lead byte at its end waits for the next text.
    char* convertInRoom(char* to, std::string_view text);
    char* convertInRoom(char* to, std::string_view text, bool& clean) {
        char* end = convertInRoom(to, text);
        clean = form_ == Form::utf8;
        return end;
    }
    // A name of at most shortCopy bytes, at the start of an array of at least
    // shortCopy, when no lead byte waits: the UTF-8 of the last few names is
    // kept, as the same names come again and again.
    char* appendShortName(char* to, std::string_view name);
    // Asks the console's set, at the first print.
    void decideForm();
    // A UTF-8 buffer's form as the last text converted left it.
    static Form utf8FormNow();
    // Forgets the form, for a console set up anew.
    void restartForm() {
        form_ = Form::undecided;
        limit_ = begin_;
    }
    char* const begin_;
    char* next_;
    char* const end_;
    char* limit_;  // end_ for a cp932 buffer, begin_ for any other
    Form form_ = Form::undecided;
};

// Standard output of the program.
extern ConsoleOut out;

// Names the program in the messages of a failed console ("gloomhold: ...").
void nameProgram(std::string_view name);

// Hands everything printed so far to the console. When standard output fails
// (a full disk, an I/O error, a closed stream), the program ends there and
// then with status 1: the terminal is restored and one line on standard error
// names the program and the reason. A broken pipe ends it by its signal.
void flushOutput();

// Writes a message to standard error at once (command-line mistakes). When
// standard error itself fails there is nobody left to tell.
void writeError(std::string_view message);

// The longest line that is kept, in the console's bytes. A longer line is
// over-long: only its first `lineKeepLimit` bytes are kept and handed out, so
// that it is still longer than any answer, command or word, and equals none.
constexpr std::size_t lineKeepLimit = 64 * 1024;

// Reads one line of standard input into `line`, without its line feed and
// without a carriage return right before it, in cp932 whatever the console
// speaks. A last line without a line feed counts too. Returns false, with
// `line` empty, at the end of input, and also when standard input fails:
// that failure is told on standard error at once, every later read finds
// the end, and inputFailed() tells the program to end with status 1.
bool readLine(std::string& line);

// What the last line read was like, beyond its bytes.
struct LineNotes {
    bool overLong = false;        // longer than lineKeepLimit: only its start was kept
    bool lostCharacters = false;  // the console's line held characters that cp932 lacks,
                                  // or broken ones: each became "?"
};
LineNotes lastLineNotes();

namespace console_detail {

// Bytes read from standard input but not yet handed out as lines. Reads come
// in pieces of this size, and a line is gathered from as many as it spans.
// Here rather than in the console's own file so that the common line of the
// command loop is taken in line (readLine below).
inline char inputChunk[1 << 16];
inline std::size_t chunkPos = 0;
inline std::size_t chunkEnd = 0;
// The end of the chunk's bytes whose lines are cp932 as they stand, so that
// a line can be handed out straight from the chunk: chunkEnd when they are
// (the console speaks cp932, or the chunk is all ASCII), else 0. Set with
// each chunk: the console's set does not change while a chunk is read.
inline std::size_t asIsEnd = 0;
inline LineNotes notes;

// The line feeds in the eight bytes at `from`, one flagged byte each: the
// lowest flagged byte is the first line feed (bytes above it may be flagged
// wrongly); zero when there is none.
inline std::uint64_t lineFeedsInWord(const char* from) {
    constexpr std::uint64_t ones = 0x0101010101010101u;
    std::uint64_t word;
    std::memcpy(&word, from, 8);
    word ^= ones * '\n';
    return (word - ones) & ~word & (ones * 0x80);
}

// The line of `length` bytes at the head of `inputChunk`, with its line
// feed: taken out of the chunk and handed out as a view of it.
inline void takeLineAsIs(std::string_view& line, std::size_t length) {
    const char* from = inputChunk + chunkPos;
    chunkPos += length + 1;
    // A carriage return before the line feed is no part of the line.
    if (length > 0 && from[length - 1] == '\r') --length;
    line = std::string_view(from, length);
}

// The common case of piped input: a line that passes as it stands and whose
// line feed is among the chunk's next eight bytes (a command or an answer).
// False, with nothing taken, otherwise.
[[gnu::always_inline]] inline bool takeShortLineAsIs(std::string_view& line) {
    if constexpr (std::endian::native != std::endian::little) return false;
    if (chunkPos + 8 > asIsEnd) return false;
    std::uint64_t feeds = lineFeedsInWord(inputChunk + chunkPos);
    if (feeds == 0) return false;
    takeLineAsIs(line, static_cast<std::size_t>(std::countr_zero(feeds)) / 8);
    return true;
}

// Any line but the common short one, as a view: of the chunk when it passes
// as it stands, else of the line as it is gathered and converted.
bool readLongerOrGatheredLine(std::string_view& line);

}  // namespace console_detail

// Reads one line as above, and hands it out as a view that stays valid until
// the next read of standard input: for the command loop, whose line in the
// C locale is then never copied. In line: a short line of piped input costs
// no more than its own work.
inline bool readLine(std::string_view& line) {
    console_detail::notes = {};
    if (console_detail::takeShortLineAsIs(line)) return true;
    return console_detail::readLongerOrGatheredLine(line);
}

// Whether a read of standard input failed (not just found its end); the
// program then ends as at the end of input, but with status 1.
bool inputFailed();

// Waits for one key press without echo when standard input is a terminal;
// reads nothing otherwise. Flushes output before it waits.
void waitForKey();

namespace console_detail {

// What keyWait and clearScreen do, worked out at the first call of each and
// again after the console changes (a scripted console set up or taken down,
// standard input failing). On a pipe, where they only print or do nothing,
// each is then a test in line.
enum class ConsoleWay : unsigned char { undecided, plain, terminal };
inline ConsoleWay keyWaitWay = ConsoleWay::undecided;
inline ConsoleWay clearWay = ConsoleWay::undecided;

// keyWait and clearScreen when the way is not known to be plain.
void keyWaitBeyondPlain();
void clearScreenBeyondPlain();

}  // namespace console_detail

// What keyWait prints when it does not wait: its prompt and line break.
inline constexpr auto keyWaitLine = [] {
    using namespace literals;
    return ">>> \n"_phrase;
}();

// Whether keyWait is known to wait for nothing (its way is decided at its
// first call): a caller may then print keyWaitLine with what follows.
inline bool keyWaitIsPlain() { return console_detail::keyWaitWay == console_detail::ConsoleWay::plain; }

// ">>> ", a key press, a line break. Made for buffers of the form `Form`,
// like the narration that calls it.
template <LineForm Form = LineForm::any>
inline void keyWait() {
    // Without a wait the prompt and its line break go out as one piece.
    if (keyWaitIsPlain()) [[likely]] {
        out.putIn<Form>(keyWaitLine);
    } else {
        console_detail::keyWaitBeyondPlain();
    }
}

// The console's pause: its prompt, a key press, a line break.
void pauseConsole();

// Clears a terminal screen; writes nothing when standard output is no terminal.
inline void clearScreen() {
    if (console_detail::clearWay != console_detail::ConsoleWay::plain) console_detail::clearScreenBeyondPlain();
}

// Puts the rest of the run on the terminal's alternate screen when standard
// output is a terminal, as full-screen programs do: the shell's screen and
// scrollback are back as they were when the program ends, whatever the way
// it ends, and a stop shows them until the program is continued. Writes
// nothing when output is no terminal, and nothing on Windows. The game calls
// it before its first output; the editor never clears, and stays off it.
void useAlternateScreen();

// Prints a message that ends the program (a data file that cannot be opened,
// is damaged or cannot be written). From the alternate screen it is told once
// more on standard error when the terminal's own screen is back, so that the
// reason stays in sight; so is a failed read of standard input.
void printEndingMessage(std::string_view message);

// Ends the program after a failure: prints `message` as printEndingMessage
// does, runs the pause and ends with status 1.
[[noreturn]] void stopProgram(std::string_view message);

// What the console speaks now: the real console the character set of the
// user's locale (localeCharset), chosen once, at the first use; a scripted
// console its own.
const ConsoleCharset& consoleCharset();

// Replaces the real console for tests: input comes from a script, output is
// collected, and neither side counts as a terminal. The script and the output
// are in `charset`. Only one may exist at a time.
class ScriptedConsole {
public:
    explicit ScriptedConsole(std::string input = {}, ConsoleCharset charset = ConsoleCharset::cp932());
    ~ScriptedConsole();
    ScriptedConsole(const ScriptedConsole&) = delete;
    ScriptedConsole& operator=(const ScriptedConsole&) = delete;

    // Everything printed since the console was set up (or since the last take).
    std::string takeOutput();
};

}  // namespace platform
