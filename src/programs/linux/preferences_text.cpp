#include "programs/linux/preferences_text.h"

namespace xscreensaver {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Where the line holding `at` ends, past the lines a backslash continues it
// into: its '\n', or the text's end. A backslash escapes the character after
// it, so only an odd run of them before the '\n' continues the line.
std::size_t logicalLineEnd(const std::string& text, std::size_t at) {
    for (std::size_t i = at; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i; // the escaped character, a '\n' among them
        } else if (text[i] == '\n') {
            return i;
        }
    }
    return text.size();
}

// Whether a line starting at `at` names the resource `name`: blanks, the
// name, blanks, ':'. `afterColon` is then where its value starts.
bool namesResource(const std::string& text, std::size_t at, const std::string& name,
                   std::size_t& nameBegin, std::size_t& afterColon) {
    std::size_t i = at;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    if (text.compare(i, name.size(), name) != 0) {
        return false;
    }
    nameBegin = i;
    i += name.size();
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    if (i >= text.size() || text[i] != ':') {
        return false;
    }
    afterColon = i + 1;
    return true;
}

} // namespace

ResourceValue findResource(const std::string& text, const std::string& name) {
    ResourceValue value;
    for (std::size_t line = 0; line < text.size();) {
        const std::size_t end = logicalLineEnd(text, line);
        const char first = text[line];
        // Comment lines end at their line's end, whatever ends it.
        const bool comment = first == '!' || first == '#';
        if (!comment && namesResource(text, line, name, value.nameBegin, value.begin)) {
            value.found = true;
            value.end = end;
            return value;
        }
        const std::size_t next = comment ? text.find('\n', line) : end;
        if (next == std::string::npos) {
            break;
        }
        line = next + 1;
    }
    return value;
}

ProgramsList findProgramsList(const std::string& text, const std::string& name) {
    ProgramsList list;
    list.value = findResource(text, name);
    if (!list.value.found) {
        return list;
    }
    list.lastLineBegin = text.rfind('\n', list.value.nameBegin);
    list.lastLineBegin = list.lastLineBegin == std::string::npos ? 0 : list.lastLineBegin + 1;
    std::size_t entryBegin = list.value.begin;
    bool content = false;
    std::string command;
    const auto closeEntry = [&](std::size_t end) {
        // An empty entry is none: the daemon skips blank lines of the list.
        if (content) {
            list.entries.push_back({entryBegin, end, command});
        }
        entryBegin = end;
        content = false;
        command.clear();
    };
    for (std::size_t i = list.value.begin; i < list.value.end;) {
        const char c = text[i];
        if (c != '\\') {
            command += c;
            content = content || !isBlank(c);
            ++i;
        } else if (i + 1 == text.size()) {
            list.endsContinued = true; // a continuation into nothing
            ++i;
        } else if (text[i + 1] == '\n') {
            i += 2;
            list.lastLineBegin = i;
        } else if (text[i + 1] == 'n') {
            i += 2;
            closeEntry(i);
        } else {
            command += text[i + 1];
            content = true;
            i += 2;
        }
    }
    list.openEnd = content;
    closeEntry(list.value.end);
    return list;
}

bool onlyContinuationFrom(const std::string& text, std::size_t from, std::size_t& nextLine) {
    std::size_t i = from;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    if (i + 1 < text.size() && text[i] == '\\' && text[i + 1] == '\n') {
        nextLine = i + 2;
        return true;
    }
    return false;
}

} // namespace xscreensaver
