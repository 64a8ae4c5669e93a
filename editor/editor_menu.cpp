#include "editor/editor_menu.hpp"

// Joined when the editor lands.
void runEditorMenu() {}
