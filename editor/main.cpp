#include "editor/editor_menu.hpp"
#include "platform/console.hpp"
#include "platform/program_exit.hpp"

int main() {
    int status = 0;
    try {
        runEditorMenu();
    } catch (const platform::ProgramExit& exit) {
        status = exit.status;
    }
    platform::flushOutput();
    return status;
}
