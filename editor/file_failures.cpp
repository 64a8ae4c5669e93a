#include "editor/file_failures.hpp"

#include "platform/console.hpp"

std::string editorFailureText(const FileResult& result) {
    const std::string cannotOpen = "Cannot open " + result.file + ".\n";
    return fileFailureText(result, cannotOpen.c_str());
}

void stopEditorOnFileFailure(const FileResult& result) {
    if (result.status == FileStatus::ok) return;
    platform::stopProgram(editorFailureText(result));
}
