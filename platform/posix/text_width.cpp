#include "platform/text_width.hpp"

#include <langinfo.h>
#include <locale.h>

#include <cwchar>
#include <string>

#include "platform/console.hpp"
#include "platform/text_encoding.hpp"

namespace platform {

namespace {

// A locale whose character type is UTF-8, made once and kept: the user's own
// (LC_ALL, LC_CTYPE, LANG) when it is UTF-8 and installed, else C.UTF-8.
// (locale_t)0 when neither can be made. The program's own locale is never
// changed: the widths are taken under this one through uselocale.
locale_t utf8CharacterLocale() {
    static const locale_t locale = [] {
        locale_t own = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
        if (own != static_cast<locale_t>(0)) {
            if (charsetNamed(::nl_langinfo_l(CODESET, own)).kind == ConsoleCharset::Kind::utf8) return own;
            ::freelocale(own);
        }
        return ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    }();
    return locale;
}

// The columns of UTF-8 text under `locale`. A character that is not shown
// (a control character) takes none; a broken sequence, which the terminal
// shows as one replacement character, one.
std::size_t utf8Width(std::string_view text, locale_t locale) {
    locale_t previous = ::uselocale(locale);
    std::mbstate_t state{};
    std::size_t width = 0;
    for (std::size_t at = 0; at < text.size();) {
        wchar_t wide = 0;
        std::size_t length = std::mbrtowc(&wide, text.data() + at, text.size() - at, &state);
        if (length == static_cast<std::size_t>(-1) || length == static_cast<std::size_t>(-2)) {
            state = {};
            width += 1;
            at += 1;
            continue;
        }
        int columns = ::wcwidth(wide);
        if (columns > 0) width += static_cast<std::size_t>(columns);
        at += length == 0 ? 1 : length;  // 0 for a NUL byte
    }
    ::uselocale(previous);
    return width;
}

}  // namespace

std::size_t consoleTextWidth(std::string_view text) {
    // Any converting console shows the text as its Unicode characters.
    if (consoleCharset().kind == ConsoleCharset::Kind::cp932) return text.size();
    locale_t locale = utf8CharacterLocale();
    if (locale == static_cast<locale_t>(0)) return text.size();  // no better guess than the bytes
    Cp932Carry carry;
    std::string shown = cp932ToUtf8(text, carry);
    shown += finishCp932(carry);
    return utf8Width(shown, locale);
}

}  // namespace platform
