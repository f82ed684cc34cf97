// Adding haze to XScreenSaver's programs list and taking it out again: the
// list as the daemon reads it (continued lines joined, entries split at
// "\n") gains or loses exactly haze, and every other line stays as it was.
#include "programs/linux/xscreensaver_programs.h"

#include <gtest/gtest.h>

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
        if (preferences[i] == '\\' && i + 1 < preferences.size() && preferences[i + 1] == '\n') {
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

TEST(XScreenSaverPrograms, AMissingFileIsMadeFromTheDefaultsAndLosesNoStockProgram) {
    const std::string made = xscreensaver::preferencesFromDefaults(appDefaults);
    const std::vector<std::string> stock = {"maze --root", "GL: \t\t\t\tsuperquadrics --root",
                                            "-\t\t\t\tnoseguy --root"};
    EXPECT_EQ(entriesOf(made), stock);
    EXPECT_EQ(made.find("timeout"), std::string::npos) << "only the list: the rest stays default";

    std::string preferences;
    ASSERT_EQ(xscreensaver::addProgram(preferences, hazeEntry, appDefaults), Edit::Changed);
    std::vector<std::string> withHaze = stock;
    withHaze.push_back(hazeCommand);
    EXPECT_EQ(entriesOf(preferences), withHaze) << preferences;

    // Again: nothing changes. Then out: the file is what the defaults made.
    const std::string once = preferences;
    EXPECT_EQ(xscreensaver::addProgram(preferences, hazeEntry, appDefaults), Edit::Unchanged);
    EXPECT_EQ(preferences, once);
    ASSERT_EQ(xscreensaver::removeProgram(preferences), Edit::Changed);
    EXPECT_EQ(preferences, made);
    EXPECT_EQ(xscreensaver::removeProgram(preferences), Edit::Unchanged);

    EXPECT_EQ(xscreensaver::preferencesFromDefaults("*timeout: 1\n"), "");
    std::string none;
    EXPECT_EQ(xscreensaver::addProgram(none, hazeEntry, "*timeout: 1\n"), Edit::NoList);
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
    ASSERT_EQ(xscreensaver::addProgram(preferences, hazeEntry, appDefaults), Edit::Changed);
    EXPECT_EQ(entriesOf(preferences), (std::vector<std::string>{"\"My maze\"  maze -root",
                                                                "- GL: gears -root", hazeCommand}));
    // The lines before the list's last one and after the list are untouched,
    // and the list ends before "mode:".
    const std::size_t lastLine = before.find("- GL: gears");
    EXPECT_EQ(preferences.substr(0, lastLine), before.substr(0, lastLine)) << preferences;
    EXPECT_NE(preferences.find(hazeEntry + "\nmode:\t\tone\nselected:\t1\n"), std::string::npos)
        << preferences;
    ASSERT_EQ(xscreensaver::removeProgram(preferences), Edit::Changed);
    EXPECT_EQ(preferences, before);
}

TEST(XScreenSaverPrograms, ListsThatEndInOtherWays) {
    const std::vector<std::string> stock = {"maze --root", "GL: \t\t\t\tsuperquadrics --root",
                                            "-\t\t\t\tnoseguy --root"};
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::string> before; // the entries without haze
    };
    const std::vector<Case> cases = {
        {"a blank line after a continued last entry",
         "programs:\t\\\n  maze -root \\n\\\n\nmode: one\n",
         {"maze -root"}},
        {"the end of the file inside the list",
         "programs:\t\\\n  maze -root \\n\\",
         {"maze -root"}},
        {"an empty list", "programs:\nmode: one\n", {}},
        {"a last entry without its \\n", "programs: maze -root\nmode: one\n", {"maze -root"}},
        {"no list of the user's own: the defaults' first", "mode: one", stock},
    };
    for (const Case& c : cases) {
        std::string preferences = c.text;
        ASSERT_EQ(xscreensaver::addProgram(preferences, hazeEntry, appDefaults), Edit::Changed)
            << c.what;
        std::vector<std::string> after = c.before;
        after.push_back(hazeCommand);
        EXPECT_EQ(entriesOf(preferences), after) << c.what << ":\n" << preferences;
        ASSERT_EQ(xscreensaver::removeProgram(preferences), Edit::Changed) << c.what;
        EXPECT_EQ(entriesOf(preferences), c.before) << c.what << ":\n" << preferences;
        EXPECT_EQ(preferences.find("mode: one") == std::string::npos,
                  c.text.find("mode: one") == std::string::npos)
            << c.what;
    }
}

TEST(XScreenSaverPrograms, EveryHazeEntryComesOutAndNothingElse) {
    std::string preferences = "programs:\t\\\n"
                              "  hazel -root \\n\\\n"
                              "- GL: \"haze\" /usr/libexec/xscreensaver/haze --root \\n\\\n"
                              "  maze -root \\n\\\n"
                              "  '/home/a b/libexec/xscreensaver/haze' --root \\n\n"
                              "mode: one\n";
    ASSERT_EQ(xscreensaver::removeProgram(preferences), Edit::Changed);
    EXPECT_EQ(preferences, "programs:\t\\\n"
                           "  hazel -root \\n\\\n"
                           "  maze -root \\n\n"
                           "mode: one\n");
    for (const char* other : {"  mazehaze -root \\n", "  GL: haze-gl -root", "  /haze/maze -root",
                              "  \"haze\" maze -root"}) {
        EXPECT_FALSE(xscreensaver::isHazeEntry(other)) << other;
    }
    EXPECT_TRUE(xscreensaver::isHazeEntry("haze -root"));
}

TEST(XScreenSaverPrograms, PathsWithBlanksOrQuotesAreQuotedForTheShell) {
    EXPECT_EQ(trim(xscreensaver::programEntry("/usr/libexec/xscreensaver/haze")),
              "/usr/libexec/xscreensaver/haze --root\t\t\t    \\n");
    const std::string entry = xscreensaver::programEntry("/home/o'neil/my apps/haze");
    EXPECT_EQ(trim(entry), "'/home/o'\\''neil/my apps/haze' --root\t\t\t    \\n");
    EXPECT_TRUE(xscreensaver::isHazeEntry(entry));
}

} // namespace
