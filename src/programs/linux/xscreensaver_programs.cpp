#include "programs/linux/xscreensaver_programs.h"

#include "programs/linux/preferences_text.h"

#include <cstddef>
#include <cstdlib>
#include <vector>

namespace xscreensaver {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Quotes a path for the daemon's sh command line when it holds anything but
// the characters paths are usually made of.
std::string shellWord(const std::string& word) {
    bool plain = !word.empty();
    for (char c : word) {
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '/' || c == '.' || c == '_' || c == '-' ||
                          c == '+' || c == ',' || c == ':' || c == '@';
        plain = plain && safe;
    }
    if (plain) {
        return word;
    }
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// How addProgram joins the entry to the list, by how the list ends; each way
// leaves a mark of its own around the entry, so removeProgram can take out
// exactly what was put in:
//   the last line ends the list:           "\t\\\n" ENTRY after it, or
//                                          " \\n \\\n" ENTRY when it ends
//                                          inside an entry without "\n";
//   the list goes on into a blank line:    ENTRY "\\\n" before that line, or
//                                          "\\n" ENTRY "\\\n";
//   the text ends with a continuation:     "\n" ENTRY "\\" after it, or
//                                          "\n\\n" ENTRY "\\".
constexpr const char* afterEnded = "\t\\\n";
constexpr const char* afterOpen = " \\n \\\n";
constexpr const char* beforeBlankOpen = "\\n";
constexpr const char* continuedEnded = "\n";
constexpr const char* continuedOpen = "\n\\n";

bool hasAt(const std::string& text, std::size_t at, const std::string& part) {
    return at <= text.size() && text.compare(at, part.size(), part) == 0;
}

// Whether the value's last line is blank and a line before goes on into it.
bool endsInBlankLine(const std::string& text, const ProgramsList& list) {
    if (list.lastLineBegin <= list.value.begin) {
        return false;
    }
    for (std::size_t i = list.lastLineBegin; i < list.value.end; ++i) {
        if (!isBlank(text[i])) {
            return false;
        }
    }
    return true;
}

// Where `entry`, the list's last, is exactly what addProgram put in: [from, to)
// then holds it with its mark.
bool addedByUs(const std::string& text, const ProgramsList& list, const ListEntry& entry,
               std::size_t& from, std::size_t& to) {
    const std::string added = programEntry(commandWord(entry.command));
    if (entry.end < entry.begin + added.size() || !hasAt(text, entry.end - added.size(), added)) {
        return false;
    }
    const std::size_t start = entry.end - added.size();
    const auto markedBy = [&](const std::string& mark, std::size_t after) {
        if (start < mark.size() || !hasAt(text, start - mark.size(), mark)) {
            return false;
        }
        from = start - mark.size();
        to = entry.end + after;
        return true;
    };
    if (list.endsContinued && entry.end + 1 == text.size()) {
        return markedBy(continuedOpen, 1) ||
               (hasAt(text, start - 2, "\\\n") && markedBy(continuedEnded, 1));
    }
    if (hasAt(text, entry.end, "\\\n") && entry.end + 2 == list.lastLineBegin &&
        endsInBlankLine(text, list)) {
        return (hasAt(text, start - 3, "\n") && markedBy(beforeBlankOpen, 2)) ||
               (hasAt(text, start - 1, "\n") && markedBy("", 2));
    }
    return entry.end == list.value.end && !list.endsContinued &&
           (markedBy(afterOpen, 0) || markedBy(afterEnded, 0));
}

// The bytes an entry holds: its own lines when it has them to itself (the
// line before ends with the entry before, and its last goes on into the
// next), else from the end of the entry before to its own "\n".
void entryBytes(const std::string& text, const ListEntry& entry, std::size_t& from,
                std::size_t& to) {
    std::size_t firstLine = 0;
    std::size_t afterLast = 0;
    if (onlyContinuationFrom(text, entry.begin, firstLine) &&
        onlyContinuationFrom(text, entry.end, afterLast)) {
        from = firstLine;
        to = afterLast;
    } else {
        from = entry.begin;
        to = entry.end;
    }
}

// "selected:" is the index, from 0, of the program the daemon runs in its
// one-program mode, counted over the list as the daemon sees it: the user's
// entries, then any stock program they lack. An entry put in or taken out
// at `index` moves those after it by one, and one taken out while selected
// leaves none selected (-1, as the random mode has it).
void followSelection(std::string& text, std::size_t index, bool added) {
    const ResourceValue value = findResource(text, "selected");
    if (!value.found) {
        return;
    }
    std::size_t begin = value.begin;
    while (begin < value.end && isBlank(text[begin])) {
        ++begin;
    }
    const std::string number = text.substr(begin, value.end - begin);
    char* numberEnd = nullptr;
    long selected = std::strtol(number.c_str(), &numberEnd, 10);
    const std::size_t length = static_cast<std::size_t>(numberEnd - number.c_str());
    const long at = static_cast<long>(index);
    if (length == 0 || selected < at) {
        return;
    }
    selected = added ? selected + 1 : selected > at ? selected - 1 : -1;
    text.replace(begin, length, std::to_string(selected));
}

} // namespace

std::string programEntry(const std::string& program) {
    return "\t\t\t\t" + shellWord(program) + " --root\t\t\t    \\n";
}

std::string preferencesFromDefaults(const std::string& appDefaults) {
    const ResourceValue list = findResource(appDefaults, "*programs");
    if (!list.found) {
        return std::string();
    }
    return "# XScreenSaver's preferences: made from the daemon's defaults by\n"
           "# haze --install-xscreensaver, to add haze to the programs below.\n" +
           appDefaults.substr(list.nameBegin + 1, list.end - list.nameBegin - 1) + "\n";
}

std::string commandWord(const std::string& command) {
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < command.size() && isBlank(command[i])) {
            ++i;
        }
    };
    skipBlanks();
    if (i < command.size() && command[i] == '-') { // disabled
        ++i;
        skipBlanks();
    }
    // A visual name such as "GL:" comes before the command.
    std::size_t word = i;
    while (word < command.size() && !isBlank(command[word]) && command[word] != '"' &&
           command[word] != '\'' && command[word] != '/' && command[word] != ':') {
        ++word;
    }
    if (word > i && word < command.size() && command[word] == ':') {
        i = word + 1;
        skipBlanks();
    }
    if (i < command.size() && command[i] == '"') { // a label
        const std::size_t close = command.find('"', i + 1);
        if (close == std::string::npos) {
            return std::string();
        }
        i = close + 1;
        skipBlanks();
    }
    // The word as sh reads it: quotes and backslashes taken off.
    std::string program;
    while (i < command.size() && !isBlank(command[i])) {
        const char c = command[i++];
        if (c == '\'' || c == '"') {
            const std::size_t close = command.find(c, i);
            program += command.substr(i, close == std::string::npos ? close : close - i);
            i = close == std::string::npos ? command.size() : close + 1;
        } else if (c == '\\' && i < command.size()) {
            program += command[i++];
        } else {
            program += c;
        }
    }
    return program;
}

bool isHazeEntry(const std::string& command) {
    const std::string program = commandWord(command);
    const std::size_t slash = program.rfind('/');
    return program.substr(slash == std::string::npos ? 0 : slash + 1) == "haze";
}

Edit addProgram(std::string& preferences, bool fileExists, const std::string& entry,
                const std::string& appDefaults) {
    std::string text = preferences;
    ProgramsList list = findProgramsList(text, "programs");
    if (!list.value.found) {
        // No list of the user's own: the daemon's goes at the end first.
        const std::string defaults = preferencesFromDefaults(appDefaults);
        if (defaults.empty()) {
            return Edit::NoList;
        }
        text += (fileExists ? "\n" : "") + defaults;
        list = findProgramsList(text, "programs");
    }
    for (const ListEntry& listed : list.entries) {
        if (isHazeEntry(listed.command)) {
            return Edit::Unchanged;
        }
    }
    if (list.endsContinued) {
        text += (list.openEnd ? continuedOpen : continuedEnded) + entry + "\\";
    } else if (endsInBlankLine(text, list)) {
        text.insert(list.lastLineBegin, (list.openEnd ? beforeBlankOpen : "") + entry + "\\\n");
    } else {
        text.insert(list.value.end, (list.openEnd ? afterOpen : afterEnded) + entry);
    }
    followSelection(text, list.entries.size(), true);
    preferences = text;
    return Edit::Changed;
}

Edit removeProgram(std::string& preferences, const std::string& appDefaults) {
    const ProgramsList list = findProgramsList(preferences, "programs");
    std::string text = preferences;
    std::vector<std::size_t> removed; // indices, the last first
    // From the last, so the places of those before stay right.
    for (std::size_t i = list.entries.size(); i-- > 0;) {
        const ListEntry& entry = list.entries[i];
        if (!isHazeEntry(entry.command)) {
            continue;
        }
        std::size_t from = 0;
        std::size_t to = 0;
        if (i + 1 != list.entries.size() || !addedByUs(text, list, entry, from, to)) {
            entryBytes(text, entry, from, to);
        }
        text.erase(from, to - from);
        removed.push_back(i);
    }
    if (removed.empty()) {
        return Edit::Unchanged;
    }
    // After the entries: the places found in the list hold until then.
    for (std::size_t index : removed) {
        followSelection(text, index, false);
    }

    const std::string made = preferencesFromDefaults(appDefaults);
    if (!made.empty() && text == made) {
        preferences.clear();
        return Edit::NothingLeft;
    }
    const std::string appended = "\n" + made;
    if (!made.empty() && text.size() >= appended.size() &&
        text.compare(text.size() - appended.size(), appended.size(), appended) == 0) {
        text.erase(text.size() - appended.size());
    }
    preferences = text;
    return Edit::Changed;
}

} // namespace xscreensaver
