#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "editor/balance_report.hpp"

// What the editor's command line asks for. Without arguments the editor
// runs its menu.
struct EditorOptions {
    enum class Action { edit, report, help, version, usageError } action = Action::edit;
    ReportOptions report;
    std::string error;  // what was wrong, for a usage error
};

// Reads every argument in order; the first one that is wrong decides a
// usage error. --help wins over --version.
EditorOptions parseEditorOptions(int argc, const char* const* argv);

// A count of the report: plain decimal digits, 1 to 4294967295.
std::optional<std::uint32_t> parseCount(std::string_view text);

// Texts for --help, --version and a usage error.
const char* editorHelpText();
const char* editorVersionText();
const char* editorUsageText();
