// Where things lie in the text of XScreenSaver's preferences, to the byte: a
// resource's value, and the programs list with each of its entries.
//
// The file holds "name: value" resources, one a line; a value runs on over
// lines that end in a backslash. The programs list is one such value whose
// entries are sh command lines, each ended by a literal "\n" (the last may
// lack it) and possibly spread over several lines: the settings program
// wraps a long entry and starts it on a line of its own. Positions are byte
// offsets into the text searched, so an edit can take out exactly an
// entry's bytes and leave every other byte as it was.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace xscreensaver {

// The value of the resource `name` (such as "selected"): it starts just after
// the ':' and ends at the end of its last line. The name is at the start of
// a line, after blanks at most, not inside another resource's value.
struct ResourceValue {
    bool found = false;
    std::size_t nameBegin = 0;
    std::size_t begin = 0;
    std::size_t end = 0; // the last line's '\n', or the text's end
};
ResourceValue findResource(const std::string& text, const std::string& name);

struct ListEntry {
    std::size_t begin = 0; // just after the entry before's "\n", or the resource's ':'
    std::size_t end = 0;   // just after its own "\n", or the value's end
    std::string command;   // as the daemon reads it: lines joined, escapes taken off
};

struct ProgramsList {
    ResourceValue value;
    std::size_t lastLineBegin = 0; // where the value's last line starts
    bool openEnd = false;          // the value ends inside an entry that has no "\n" yet
    bool endsContinued = false;    // the text ends with the value's continuation backslash
    std::vector<ListEntry> entries;
};

// The list in the resource `name`: "programs" in ~/.xscreensaver, "*programs"
// in the daemon's app-defaults file.
ProgramsList findProgramsList(const std::string& text, const std::string& name);

// Whether the rest of the line from `from` is blank but for the continuation
// backslash that ends it; `nextLine` is then where the next line starts.
bool onlyContinuationFrom(const std::string& text, std::size_t from, std::size_t& nextLine);

} // namespace xscreensaver
