#pragma once

// The editor's menu loop, until choice 7 or the end of input.
void runEditorMenu();
