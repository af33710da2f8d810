#pragma once

#include <QString>

#include <vector>

// Help topic numbers per window (and per mode or tab, where a window has several).
namespace jx::help {

struct Topic {
    const char* window; // objectName of the window
    const char* mode; // "" when the window has one topic
    int number;
};

const std::vector<Topic>& topics();
// The topic of a window in a mode; 0 (no topic) when the table has none.
int topicFor(const QString& window, const QString& mode = {});

inline constexpr int kSystemTopic = 7;

} // namespace jx::help
