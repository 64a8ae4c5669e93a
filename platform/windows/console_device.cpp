#include "platform/console_device.hpp"

#include <string>
#include <windows.h>

#include "platform/windows/line_ends.hpp"

// The Windows console. While the programs run, its input and output code
// pages are 932, so it speaks their own text: bytes go to it and come from it
// unchanged, except that every line feed written goes out as CR LF, as a
// text-mode stream writes it. The code pages the console had are put back
// when the program ends, also when Ctrl-C or a closed window ends it.
namespace platform {
namespace {

constexpr UINT programCodePage = 932;

struct SavedCodePages {
    UINT input = 0;
    UINT output = 0;
};

SavedCodePages saved;
bool switched = false;

void restoreCodePages() {
    if (saved.input != 0) ::SetConsoleCP(saved.input);
    if (saved.output != 0) ::SetConsoleOutputCP(saved.output);
}

BOOL WINAPI onConsoleEnd(DWORD) {
    restoreCodePages();
    return FALSE;  // the default handler ends the program as before
}

// Switches the console to code page 932 before the first byte passes; a
// program without a console (its streams all redirected) has nothing to switch.
void switchCodePages() {
    if (switched) return;
    switched = true;
    saved.input = ::GetConsoleCP();
    saved.output = ::GetConsoleOutputCP();
    if (saved.input == 0 && saved.output == 0) return;
    ::SetConsoleCtrlHandler(onConsoleEnd, TRUE);
    ::SetConsoleCP(programCodePage);
    ::SetConsoleOutputCP(programCodePage);
}

HANDLE handleOf(Stream stream) {
    switch (stream) {
    case Stream::input: return ::GetStdHandle(STD_INPUT_HANDLE);
    case Stream::output: return ::GetStdHandle(STD_OUTPUT_HANDLE);
    case Stream::error: return ::GetStdHandle(STD_ERROR_HANDLE);
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

int writeStream(Stream stream, std::string_view bytes) {
    switchCodePages();
    HANDLE handle = handleOf(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
    std::string text = withCrLf(bytes);
    std::string_view rest = text;
    while (!rest.empty()) {
        DWORD chunk = rest.size() > 0x10000 ? 0x10000 : static_cast<DWORD>(rest.size());
        DWORD written = 0;
        if (!::WriteFile(handle, rest.data(), chunk, &written, nullptr)) {
            return static_cast<int>(::GetLastError());
        }
        if (written == 0) return ERROR_WRITE_FAULT;
        rest.remove_prefix(written);
    }
    return 0;
}

InputRead readInput(char* buffer, std::size_t size) {
    switchCodePages();
    HANDLE handle = handleOf(Stream::input);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return {};
    DWORD chunk = size > 0x10000 ? 0x10000 : static_cast<DWORD>(size);
    for (;;) {
        DWORD got = 0;
        if (::ReadFile(handle, buffer, chunk, &got, nullptr)) return {got, 0};
        DWORD error = ::GetLastError();
        // A closed pipe is the end of input, as Ctrl-Z at the start of a
        // console line is (that one reads nothing and succeeds). A read that
        // Ctrl-C broke off is tried again: the console's handler ends the
        // program if the key is meant to.
        if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return {};
        if (error == ERROR_OPERATION_ABORTED) continue;
        return {0, static_cast<int>(error)};
    }
}

std::string describeError(int error) {
    char text[512];
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                    static_cast<DWORD>(error), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                    text, sizeof text, nullptr);
    if (length == 0) {
        length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  static_cast<DWORD>(error), 0, text, sizeof text, nullptr);
    }
    std::string described(text, length);
    // The system's words end with a full stop and a line break.
    while (!described.empty() && (described.back() == '\n' || described.back() == '\r' ||
                                  described.back() == '.' || described.back() == ' ')) {
        described.pop_back();
    }
    if (described.empty()) described = "error " + std::to_string(error);
    return described;
}

bool isConsole(Stream stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(handleOf(stream), &mode) != 0;
}

void releaseConsole() {
    if (!switched) return;
    restoreCodePages();
    ::SetConsoleCtrlHandler(onConsoleEnd, FALSE);
}

std::string_view clearConsoleWindow() {
    switchCodePages();
    HANDLE handle = handleOf(Stream::output);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!::GetConsoleScreenBufferInfo(handle, &info)) return {};
    DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
    COORD home{0, 0};
    DWORD done = 0;
    ::FillConsoleOutputCharacterA(handle, ' ', cells, home, &done);
    ::FillConsoleOutputAttribute(handle, info.wAttributes, cells, home, &done);
    ::SetConsoleCursorPosition(handle, home);
    return {};
}

}  // namespace platform
