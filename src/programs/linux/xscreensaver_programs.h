// The programs list of XScreenSaver's preferences, as text to edit.
//
// Both the user's ~/.xscreensaver ("programs:") and the daemon's app-defaults
// file ("*programs:") hold the list as one resource whose value runs on over
// lines that end in a backslash; each entry is one sh command line ended by a
// literal "\n", optionally after "-" (disabled), a visual name such as "GL:"
// and a quoted label. These functions add haze as the last entry, or take it
// out, and leave every other line as it was, byte for byte.
#pragma once

#include <string>

namespace xscreensaver {

// The entry that runs `program` in the daemon's window, with the daemon's own
// spacing, ending in "\n" (no continuation backslash).
std::string programEntry(const std::string& program);

// A new ~/.xscreensaver holding the daemon's programs list from `appDefaults`
// (the text of its app-defaults file), so that no stock program is lost.
// Empty when `appDefaults` has no programs list.
std::string preferencesFromDefaults(const std::string& appDefaults);

// Whether an entry line of a programs list runs a program named "haze",
// enabled or not, whatever its path, label and visual.
bool isHazeEntry(const std::string& line);

enum class Edit {
    Changed,   // the text was edited
    Unchanged, // haze was already in the list (add) or was not there (remove)
    NoList,    // no programs list to add to, neither in the text nor in the defaults
};

// Appends `entry` (see programEntry) as the last entry of the programs list
// in `preferences`. A list that has a haze entry already is left alone. A
// text without a list gets the defaults' list (from `appDefaults`) first.
Edit addProgram(std::string& preferences, const std::string& entry, const std::string& appDefaults);

// Takes every haze entry out of the programs list in `preferences`.
Edit removeProgram(std::string& preferences);

} // namespace xscreensaver
