#include "platform/terminal.hpp"

#include <conio.h>

#include "platform/text_encoding.hpp"

// Key presses from the Windows console, through the console runtime: no echo,
// no waiting for Enter, and the console's mode is as it was afterwards.
namespace platform {
namespace {

// The first code of a function or arrow key; its second code follows at once.
bool opensExtendedKey(unsigned char code) { return code == 0x00 || code == 0xE0; }

}  // namespace

// The console runs in code page 932 (console_device_windows.cpp), so a
// character of two bytes comes as two codes; so does an extended key. Either
// way the second code belongs to the same press.
int readKeyPress(const ConsoleCharset&) {
    auto code = static_cast<unsigned char>(::_getch());
    if (opensExtendedKey(code) || isCp932LeadByte(code)) ::_getch();
    return 0;
}

// The console runtime changes the console's mode only for the length of one
// key read; nothing is left to put back.
void restoreTerminal() {}

// Lines come from the console's own line input, which needs no guarding.
void guardTerminal() {}
void beginLineEdit() {}
void noteLineEditMode() {}
void endLineEdit() {}
TerminalEvents takeTerminalEvents() { return {}; }

}  // namespace platform
