#pragma once

#include <vector>

namespace jx::gui {

// One user command of the program: the system's name, category, caption, hint and key.
// An empty caption means the command shows only its picture and hint.
struct CommandDef {
    const char* name;
    const char* category;
    const char* caption;
    const char* hint;
    const char* shortcut; // as QKeySequence reads it; "" for none
    bool built; // false: its window is not built yet, so it stays disabled
};

const std::vector<CommandDef>& commandTable();

} // namespace jx::gui
