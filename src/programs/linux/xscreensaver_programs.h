// The programs list of XScreenSaver's preferences, as text to edit.
//
// Both the user's ~/.xscreensaver ("programs:") and the daemon's app-defaults
// file ("*programs:") hold the list as one resource (see preferences_text.h);
// each entry is one sh command line, optionally after "-" (disabled), a
// visual name such as "GL:" and a quoted label. These functions add haze as
// the last entry, or take it out, and change no other byte: taking out what
// adding put in gives back the text as it was, and an entry the settings
// program has rewritten since goes whole, however it was wrapped.
#pragma once

#include <string>

namespace xscreensaver {

// The entry that runs `program` in the daemon's window, with the daemon's own
// spacing, ending in "\n" (no continuation backslash).
std::string programEntry(const std::string& program);

// The programs list of `appDefaults` (the text of the daemon's app-defaults
// file) as the user's own, under a comment saying who made it: what a new
// ~/.xscreensaver gets, so that no stock program is lost. Empty when
// `appDefaults` has no programs list.
std::string preferencesFromDefaults(const std::string& appDefaults);

// The program an entry's command line runs (`command` as the list holds it:
// lines joined, without its "\n"), its quotes taken off as sh does; after
// the "-" of a disabled entry, a visual and a label.
std::string commandWord(const std::string& command);

// Whether an entry's command line runs a program named "haze", enabled or
// not, whatever its path, label and visual.
bool isHazeEntry(const std::string& command);

enum class Edit {
    Changed,     // the text was edited
    Unchanged,   // haze was already in the list (add) or was not there (remove)
    NoList,      // no programs list to add to, neither in the text nor in the defaults
    NothingLeft, // (remove) all that was left is what adding made: the file can go
};

// Appends `entry` (see programEntry) as the last entry of the programs list
// in `preferences`. A list that has a haze entry already is left alone. A
// text without a list gets the defaults' list (preferencesFromDefaults)
// first, after a blank line where the file exists (`fileExists`).
Edit addProgram(std::string& preferences, bool fileExists, const std::string& entry,
                const std::string& appDefaults);

// Takes every haze entry out of the programs list in `preferences`, and the
// "selected:" index (which counts the list's entries) along with them, so
// it names the program it named. The list addProgram took from the defaults
// goes too when nothing but haze was added to it: all of it, with the blank
// line before it, or NothingLeft when it was the whole file.
Edit removeProgram(std::string& preferences, const std::string& appDefaults);

} // namespace xscreensaver
