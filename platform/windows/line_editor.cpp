#include "platform/line_editor.hpp"

// The Windows console edits its lines itself (arrow keys, F3 for the last
// line), so the programs read them as they come.
namespace platform {

bool startLineEditor(const std::string&, TerminalText) { return false; }

InputRead readEditedLine(std::string_view, std::string&) { return {}; }

}  // namespace platform
