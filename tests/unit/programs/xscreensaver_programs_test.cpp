// Adding haze to XScreenSaver's programs list and taking it out again: the
// list as the daemon reads it (continued lines joined, entries split at
// "\n") gains or loses exactly haze, every other byte stays as it was, and
// taking haze out gives back the text it was added to. The files in
// xscreensaver_files/ were written by XScreenSaver 6.06's own settings
// program (with a short list of stock programs in its defaults).
#include "programs/linux/xscreensaver_programs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using xscreensaver::Edit;

// A daemon's app-defaults file, shaped as the real one: other resources
// around a "*programs:" list with a disabled and a GL entry.
const std::string appDefaults = "*timeout:\t\t0:10:00\n"
                                "*programs:\t\t\t\t      \\\n"
                                "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
                                "  GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
                                "-\t\t\t\tnoseguy --root\t\t\t\t    \\n\n"
                                "\n"
                                "*hacks.maze.name:\tMaze\n";

const std::string hazeEntry = xscreensaver::programEntry("/opt/haze/libexec/xscreensaver/haze");

std::string trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// The entries of the "programs:" resource as the daemon reads them.
std::vector<std::string> entriesOf(const std::string& preferences) {
    std::size_t start = preferences.find("\nprograms:");
    start = start == std::string::npos ? 0 : start + 1;
    if (preferences.compare(start, 9, "programs:") != 0) {
        return {};
    }
    std::string value;
    for (std::size_t i = start + 9; i < preferences.size() && preferences[i] != '\n'; ++i) {
        if (preferences[i] == '\\' && i + 1 == preferences.size()) {
            break; // the file ends in the value's continuation
        }
        if (preferences[i] == '\\' && preferences[i + 1] == '\n') {
            ++i; // a continued line
        } else {
            value += preferences[i];
        }
    }
    std::vector<std::string> entries;
    std::size_t from = 0;
    for (;;) {
        const std::size_t end = value.find("\\n", from);
        const std::string entry = trim(value.substr(from, end - from));
        if (!entry.empty()) {
            entries.push_back(entry);
        }
        if (end == std::string::npos) {
            return entries;
        }
        from = end + 2;
    }
}

const std::string hazeCommand = "/opt/haze/libexec/xscreensaver/haze --root";

std::string fixture(const std::string& name) {
    std::ifstream in(std::string(HAZE_XSCREENSAVER_FILES) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The text without the settings program's "# Written by ... on DATE" line.
std::string withoutDate(std::string text) {
    const std::size_t line = text.find("\n# Written by ");
    return line == std::string::npos ? text : text.erase(line, text.find('\n', line + 1) - line);
}

TEST(XScreenSaverPrograms, AMissingFileIsMadeFromTheDefaultsAndLosesNoStockProgram) {
    const std::string made = xscreensaver::preferencesFromDefaults(appDefaults);
    const std::vector<std::string> stock = {"maze --root", "GL: \t\t\t\tsuperquadrics --root",
                                            "-\t\t\t\tnoseguy --root"};
    EXPECT_EQ(entriesOf(made), stock);
    EXPECT_EQ(made.find("timeout"), std::string::npos) << "only the list: the rest stays default";

    std::string preferences;
    ASSERT_EQ(xscreensaver::addProgram(preferences, false, hazeEntry, appDefaults), Edit::Changed);
    std::vector<std::string> withHaze = stock;
    withHaze.push_back(hazeCommand);
    EXPECT_EQ(entriesOf(preferences), withHaze) << preferences;

    // Again: nothing changes. Then out: nothing is left that the user made.
    const std::string once = preferences;
    EXPECT_EQ(xscreensaver::addProgram(preferences, false, hazeEntry, appDefaults),
              Edit::Unchanged);
    EXPECT_EQ(preferences, once);
    EXPECT_EQ(xscreensaver::removeProgram(preferences, appDefaults), Edit::NothingLeft);
    std::string settings = "timeout: 1\n";
    EXPECT_EQ(xscreensaver::removeProgram(settings, appDefaults), Edit::Unchanged);

    EXPECT_EQ(xscreensaver::preferencesFromDefaults("*timeout: 1\n"), "");
    std::string none;
    EXPECT_EQ(xscreensaver::addProgram(none, false, hazeEntry, "*timeout: 1\n"), Edit::NoList);
}

TEST(XScreenSaverPrograms, TheUsersOwnFileKeepsEveryOtherLine) {
    const std::string before = "# written by hand\n"
                               "timeout:\t0:05:00\n"
                               "programs:\t\\\n"
                               "  \"My maze\"  maze -root \\n\\\n"
                               "- GL: gears -root \\n\n"
                               "mode:\t\tone\n"
                               "selected:\t1\n";
    std::string preferences = before;
    ASSERT_EQ(xscreensaver::addProgram(preferences, true, hazeEntry, appDefaults), Edit::Changed);
    EXPECT_EQ(entriesOf(preferences), (std::vector<std::string>{"\"My maze\"  maze -root",
                                                                "- GL: gears -root", hazeCommand}));
    // The lines before the list's last one and after the list are untouched,
    // and the list ends before "mode:".
    const std::size_t lastLine = before.find("- GL: gears");
    EXPECT_EQ(preferences.substr(0, lastLine), before.substr(0, lastLine)) << preferences;
    EXPECT_NE(preferences.find(hazeEntry + "\nmode:\t\tone\nselected:\t1\n"), std::string::npos)
        << preferences;
    ASSERT_EQ(xscreensaver::removeProgram(preferences, appDefaults), Edit::Changed);
    EXPECT_EQ(preferences, before);
}

// Every way a list can end, in a file that exists or not: haze is added as
// the last entry and taken out again to the byte.
TEST(XScreenSaverPrograms, AddingThenRemovingGivesBackEveryByte) {
    const std::vector<std::string> stock = {"maze --root", "GL: \t\t\t\tsuperquadrics --root",
                                            "-\t\t\t\tnoseguy --root"};
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::string> before; // the entries without haze
    };
    const std::vector<Case> cases = {
        {"one line", "programs: foo\n", {"foo"}},
        {"one line, the file's last without its line break", "programs: foo", {"foo"}},
        {"one line with blanks after it", "programs: foo \\n  \nmode: one\n", {"foo"}},
        {"the daemon's own layout",
         "mode: one\n" + appDefaults.substr(appDefaults.find("*programs") + 1), stock},
        {"a blank line after a continued last entry",
         "programs:\t\\\n  maze -root \\n\\\n\nmode: one\n",
         {"maze -root"}},
        {"a blank line after a continued entry without \\n",
         "programs:\t\\\n  maze -root\\\n  \nmode: one\n",
         {"maze -root"}},
        {"the end of the file inside the list",
         "programs:\t\\\n  maze -root \\n\\",
         {"maze -root"}},
        {"the end of the file inside an entry", "programs:\t\\\n  maze -root\\", {"maze -root"}},
        {"an empty list", "programs:\nmode: one\n", {}},
        {"a last entry without its \\n", "programs: maze -root\nmode: one\n", {"maze -root"}},
        {"no list of the user's own: the defaults' first", "mode: one", stock},
        {"no list, the last line ended", "mode: one\n", stock},
        {"an empty file", "", stock},
    };
    for (const Case& c : cases) {
        std::string preferences = c.text;
        ASSERT_EQ(xscreensaver::addProgram(preferences, true, hazeEntry, appDefaults),
                  Edit::Changed)
            << c.what;
        std::vector<std::string> after = c.before;
        after.push_back(hazeCommand);
        EXPECT_EQ(entriesOf(preferences), after) << c.what << ":\n" << preferences;
        ASSERT_EQ(xscreensaver::removeProgram(preferences, appDefaults), Edit::Changed) << c.what;
        EXPECT_EQ(preferences, c.text) << c.what;
    }
}

TEST(XScreenSaverPrograms, EveryHazeEntryComesOutAndNothingElse) {
    std::string preferences = "programs:\t\\\n"
                              "  hazel -root \\n\\\n"
                              "- GL: \"haze\" /usr/libexec/xscreensaver/haze --root \\n\\\n"
                              "  maze -root \\n\\\n"
                              "  '/home/a b/libexec/xscreensaver/haze' --root \\n\n"
                              "mode: one\n";
    ASSERT_EQ(xscreensaver::removeProgram(preferences, appDefaults), Edit::Changed);
    EXPECT_EQ(preferences, "programs:\t\\\n"
                           "  hazel -root \\n\\\n"
                           "  maze -root \\n\n"
                           "mode: one\n");
    for (const char* other : {"  mazehaze -root ", "  GL: haze-gl -root", "  /haze/maze -root",
                              "  \"haze\" maze -root"}) {
        EXPECT_FALSE(xscreensaver::isHazeEntry(other)) << other;
    }
    EXPECT_TRUE(xscreensaver::isHazeEntry("haze -root"));
}

// The settings program writes the whole file anew: it wraps a long entry over
// lines of its own after a blank continued one, which holds the "-" of a
// disabled entry. Taking haze out leaves what it writes for the same
// settings without haze, "selected:" counting one entry fewer before the
// selected one.
TEST(XScreenSaverPrograms, FilesTheSettingsProgramWroteLoseHazesWholeEntry) {
    const std::string without = fixture("settings_saved");
    ASSERT_NE(without.find("\nprograms:"), std::string::npos) << "no fixture";
    for (const char* name : {"settings_saved_haze_last", "settings_saved_haze_disabled"}) {
        std::string preferences = fixture(name);
        ASSERT_EQ(xscreensaver::removeProgram(preferences, appDefaults), Edit::Changed) << name;
        EXPECT_EQ(withoutDate(preferences), withoutDate(without)) << name;
    }
    // Into the settings program's layout and out again, to the byte.
    std::string preferences = without;
    ASSERT_EQ(xscreensaver::addProgram(preferences, true, hazeEntry, appDefaults), Edit::Changed);
    std::vector<std::string> withHaze = entriesOf(without);
    withHaze.push_back(hazeCommand);
    EXPECT_EQ(entriesOf(preferences), withHaze) << preferences;
    ASSERT_EQ(xscreensaver::removeProgram(preferences, appDefaults), Edit::Changed);
    EXPECT_EQ(preferences, without);

    // haze itself selected: then none is.
    preferences = "selected:\t1\nprograms: maze \\n haze \\n qix\n";
    ASSERT_EQ(xscreensaver::removeProgram(preferences, appDefaults), Edit::Changed);
    EXPECT_EQ(preferences, "selected:\t-1\nprograms: maze \\n qix\n");
}

TEST(XScreenSaverPrograms, PathsWithBlanksOrQuotesAreQuotedForTheShell) {
    EXPECT_EQ(trim(xscreensaver::programEntry("/usr/libexec/xscreensaver/haze")),
              "/usr/libexec/xscreensaver/haze --root\t\t\t    \\n");
    const std::string entry = xscreensaver::programEntry("/home/o'neil/my apps/haze");
    EXPECT_EQ(trim(entry), "'/home/o'\\''neil/my apps/haze' --root\t\t\t    \\n");
    EXPECT_TRUE(xscreensaver::isHazeEntry(entry));
}

} // namespace
