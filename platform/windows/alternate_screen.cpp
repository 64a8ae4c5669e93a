#include "platform/alternate_screen.hpp"

// The Windows console has no alternate screen: the console API clears the
// window itself (console_device_windows.cpp), and nothing is switched.
namespace platform {

int enterAlternateScreen() { return 0; }
bool onAlternateScreen() { return false; }
bool leaveAlternateScreen() { return false; }
void returnToAlternateScreen() {}
void noteScreenOutput(std::string_view) {}

}  // namespace platform
