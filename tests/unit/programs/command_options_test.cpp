// The Linux command line: modes, options, their defaults and the usage
// errors that end with exit code 2 before any display is opened.
#include "programs/linux/command_options.h"

#include "programs/printable_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct Parsed {
    bool ok = false;
    CommandOptions options;
    std::string error;
};

Parsed parse(std::vector<const char*> args) {
    Parsed p;
    p.ok = parseCommandOptions(static_cast<int>(args.size()), args.data(), p.options, p.error);
    return p;
}

TEST(CommandOptions, WindowsSwitchesGoToTheHostInOneSpelling) {
    const std::pair<std::vector<const char*>, const char*> taken[] = {
        {{"/p", "1234"}, "/p 1234"},
        {{"-L", "1234"}, "/l 1234"},
        {{"-s"}, "/s"},
        {{"/S"}, "/s"},
        {{"/c"}, "/c"},
        {{}, ""},
    };
    for (const auto& [args, tail] : taken) {
        const Parsed p = parse(args);
        ASSERT_TRUE(p.ok) << tail << ": " << p.error;
        EXPECT_EQ(p.options.mode, RunMode::Saver);
        EXPECT_EQ(p.options.saverTail, tail);
    }
    const Parsed p = parse({"--seed", "17", "/s"});
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.options.saverTail, "/s");
    EXPECT_TRUE(p.options.seedGiven);
    EXPECT_EQ(p.options.seed, 17u);
}

// The daemons' users type their options with one dash: a mistyped or
// single-dash word must never fall through to the full-screen switch, and
// nothing runs after a refusal.
TEST(CommandOptions, AMistypedWordIsRefusedOrTakenAsTheOptionNeverAsFullScreen) {
    Parsed p = parse({"-seed", "5"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.seed, 5u);
    EXPECT_EQ(p.options.saverTail, "") << "the configuration, not the full-screen saver";
    p = parse({"-render", "o.png", "-size", "64x64", "-frames", "2"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.mode, RunMode::Render);
    EXPECT_EQ(p.options.width, 64);
    for (const std::vector<const char*>& bad : std::vector<std::vector<const char*>>{
             {"-size", "64x64"},
             {"/ss"},
             {"-saver"},
             {"\xafs", "123"},
             {"\xafs"},
             {"s"},
             {"/s", "123"},
             {"/s", "/c"},
             {"/p", "0x10"},
             {"/p", "12ab"},
             {"/a"},
             {"--render", "--step-ms"},
             {"--render=--frames"},
             {"--export-textures", "--seed", "4"},
         }) {
        p = parse(bad);
        EXPECT_FALSE(p.ok) << bad[0];
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << p.error;
        EXPECT_EQ(p.error.find('\xaf'), std::string::npos) << "escaped: " << p.error;
    }
    EXPECT_EQ(parse({"--render", "--step-ms"}).error,
              "--render needs a value, got '--step-ms', which is an option's spelling");
}

TEST(CommandOptions, RenderTakesItsDefaultsAndEachOptionInBothSpellings) {
    Parsed p = parse({"--render", "out.png"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.mode, RunMode::Render);
    EXPECT_EQ(p.options.renderPath, "out.png");
    EXPECT_EQ(p.options.width, 1280);
    EXPECT_EQ(p.options.height, 720);
    EXPECT_EQ(p.options.frames, 300);
    EXPECT_DOUBLE_EQ(p.options.stepMs, 1000.0 / 60.0);
    EXPECT_FALSE(p.options.seedGiven);

    p = parse(
        {"--render=a.png", "--size=320x200", "--frames=0", "--step-ms=40.5", "--seed=4294967295"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.renderPath, "a.png");
    EXPECT_EQ(p.options.width, 320);
    EXPECT_EQ(p.options.height, 200);
    EXPECT_EQ(p.options.frames, 0);
    EXPECT_DOUBLE_EQ(p.options.stepMs, 40.5);
    EXPECT_EQ(p.options.seed, 4294967295u);

    p = parse({"--size", "16384X1", "--render", "b.png"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.width, 16384);
    EXPECT_EQ(p.options.height, 1);
}

TEST(CommandOptions, SizesOutsideOneTo16384OrNotWxHAreRefused) {
    for (const char* bad : {"0x100", "100x0", "-5x10", "10x-5", "16385x10", "10x16385", "abc",
                            "100", "100x", "x100", "1e3x10", "99999999999999999999x1"}) {
        const Parsed p = parse({"--render", "out.png", "--size", bad});
        EXPECT_FALSE(p.ok) << bad;
        EXPECT_NE(p.error.find("--size"), std::string::npos) << p.error;
        EXPECT_NE(p.error.find(bad), std::string::npos) << "names what was given: " << p.error;
    }
}

TEST(CommandOptions, MonitorsOfARenderLieWithinThePicture) {
    Parsed p = parse(
        {"--render", "o.png", "--size", "2560x720", "--monitors", "1280x720+0+0,1280x720+1280+0"});
    ASSERT_TRUE(p.ok) << p.error;
    ASSERT_EQ(p.options.monitors.size(), 2u);
    EXPECT_EQ(p.options.monitors[1].width, 1280);
    EXPECT_EQ(p.options.monitors[1].height, 720);
    EXPECT_EQ(p.options.monitors[1].x, 1280);
    EXPECT_EQ(p.options.monitors[1].y, 0);

    for (const char* bad : {"1280x720+1281+0", "1280x721+0+0", "0x720+0+0", "1280x720",
                            "1280x720+0", "1280x720+-1+0", "1280x720+0+0,", ",1280x720+0+0", "a",
                            "10x10+0+0,10x10+0+0,10x10+0+0,10x10+0+0,10x10+0+0,10x10+0+0,"
                            "10x10+0+0,10x10+0+0,10x10+0+0,10x10+0+0"}) {
        p = parse({"--render", "o.png", "--size", "2560x720", "--monitors", bad});
        EXPECT_FALSE(p.ok) << bad;
        EXPECT_NE(p.error.find("--monitors"), std::string::npos) << p.error;
    }
    EXPECT_FALSE(parse({"/s", "--monitors", "10x10+0+0"}).ok) << "only a render takes monitors";
}

TEST(CommandOptions, NumbersMustBeNumbers) {
    for (const std::vector<const char*>& bad : std::vector<std::vector<const char*>>{
             {"--render", "o.png", "--frames", "ten"},
             {"--render", "o.png", "--frames", "-1"},
             {"--render", "o.png", "--frames", "12abc"},
             {"--render", "o.png", "--step-ms", "fast"},
             {"--render", "o.png", "--step-ms", "-1"},
             {"--render", "o.png", "--step-ms", "nan"},
             {"--render", "o.png", "--step-ms", "inf"},
             {"--seed", "x"},
             {"--seed", "-3"},
             {"--seed", "4294967296"},
             {"--seed", ""},
             // One rule for every number: decimal only, so no hex, exponent,
             // sign or blank anywhere.
             {"--render", "o.png", "--step-ms", "0x10"},
             {"--render", "o.png", "--step-ms", "1e3"},
             {"--render", "o.png", "--step-ms", "+5"},
             {"--render", "o.png", "--step-ms", " 5"},
             {"--render", "o.png", "--step-ms", "1.2.3"},
             {"--render", "o.png", "--step-ms", "."},
             {"--render", "o.png", "--step-ms", "3600000.5"},
             {"--render", "o.png", "--frames", "0x10"},
             {"--seed", "0x10"},
             {"--render", "o.png", "--size", "0x10x10"},
         }) {
        const Parsed p = parse(bad);
        EXPECT_FALSE(p.ok) << bad[bad.size() - 2] << " " << bad.back();
        EXPECT_NE(p.error.find(bad[bad.size() - 2]), std::string::npos) << p.error;
    }
}

TEST(CommandOptions, DecimalFractionsOfMillisecondsAreTakenAsWritten) {
    for (const auto& [text, value] : std::vector<std::pair<const char*, double>>{
             {"0", 0.0}, {"007", 7.0}, {".5", 0.5}, {"5.", 5.0}, {"3600000", 3600000.0}}) {
        const Parsed p = parse({"--render", "o.png", "--step-ms", text});
        ASSERT_TRUE(p.ok) << text << ": " << p.error;
        EXPECT_DOUBLE_EQ(p.options.stepMs, value) << text;
    }
}

TEST(CommandOptions, WhatIsQuotedBackIsShownEscapedWhereNotPrintable) {
    const Parsed p = parse({"--seed", "\x1b[2J\n"});
    ASSERT_FALSE(p.ok);
    EXPECT_NE(p.error.find("got '\\x1b[2J\\x0a'"), std::string::npos) << p.error;
    EXPECT_EQ(p.error.find_first_of("\x1b\n"), std::string::npos);

    EXPECT_EQ(printableText("plain text, été, 日本"), "plain text, été, 日本");
    EXPECT_EQ(printableText("\xc2\xa0"), "\xc2\xa0") << "no-break space is printable";
    for (const auto& [raw, shown] : std::vector<std::pair<std::string, std::string>>{
             {std::string("a\0b", 3), "a\\x00b"},
             {"\x7f", "\\x7f"},
             {"\xc2\x9b", "\\xc2\\x9b"},                   // C1 control (CSI)
             {"\xff", "\\xff"},                            // never in UTF-8
             {"\xe6\x97", "\\xe6\\x97"},                   // cut short
             {"\xc0\xaf", "\\xc0\\xaf"},                   // overlong '/'
             {"\xed\xa0\x80", "\\xed\\xa0\\x80"},          // a surrogate
             {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"}, // past U+10FFFF
         }) {
        EXPECT_EQ(printableText(raw), shown);
    }
}

TEST(CommandOptions, DaemonModesAndWindowIds) {
    Parsed p = parse({"-root"});
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.options.mode, RunMode::Root);

    p = parse({"-window-id", "0x1a00007"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.mode, RunMode::WindowId);
    EXPECT_EQ(p.options.windowId, 0x1a00007u);
    p = parse({"--window-id", "4194311"});
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.options.windowId, 4194311u);

    p = parse({"-window", "--size", "640x480"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.mode, RunMode::OwnWindow);
    EXPECT_EQ(p.options.width, 640);
    p = parse({"-window"});
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.options.width, 800);
    EXPECT_EQ(p.options.height, 600);

    for (const char* bad : {"abc", "0x", "0xg1", "0", "0x0", "-5", "12ab", "4294967296"}) {
        p = parse({"-window-id", bad});
        EXPECT_FALSE(p.ok) << bad;
        EXPECT_NE(p.error.find("-window-id"), std::string::npos) << p.error;
    }
    p = parse({"-window-id"});
    EXPECT_FALSE(p.ok);
    EXPECT_NE(p.error.find("needs a value"), std::string::npos) << p.error;
}

// What the daemons and their settings programs pass to a hack, each option in
// both spellings.
TEST(CommandOptions, TheDaemonsOptionsTakeOneOrTwoDashes) {
    for (const char* dashes : {"-", "--"}) {
        const auto o = [&](const char* name) { return std::string(dashes) + name; };
        const std::vector<std::string> words = {o("root"),    o("delay"), "20000",     o("fps"),
                                                o("display"), ":7",       o("visual"), "gl",
                                                o("install"), o("sync")};
        std::vector<const char*> args;
        for (const std::string& word : words) {
            args.push_back(word.c_str());
        }
        Parsed p = parse(args);
        ASSERT_TRUE(p.ok) << dashes << ": " << p.error;
        EXPECT_EQ(p.options.mode, RunMode::Root);
        EXPECT_EQ(p.options.delayUs, 20000u);
        EXPECT_TRUE(p.options.showFrameRate);
        EXPECT_EQ(p.options.displayName, ":7");
        EXPECT_EQ(p.options.visualName, "gl");
        EXPECT_EQ(p.options.visual, VisualChoice::Best);
        EXPECT_TRUE(p.options.synchronous);
        EXPECT_EQ(p.options.saverTail, "") << "nothing left over for the host";

        EXPECT_EQ(parse({o("help").c_str()}).options.mode, RunMode::Help);
    }
    // Off by default, and the last of -fps and -no-fps wins.
    EXPECT_FALSE(parse({"-root"}).options.showFrameRate);
    EXPECT_FALSE(parse({"-root", "-fps", "--no-fps"}).options.showFrameRate);
    EXPECT_TRUE(parse({"-root", "-no-fps", "-fps"}).options.showFrameRate);
    // Anything else with a dash is an option haze does not know.
    EXPECT_EQ(parse({"-root", "-bogus"}).error, "unknown option -bogus (haze --help lists them)");
    // They go with the Windows switches too.
    Parsed p = parse({"/s", "-delay", "0", "--fps"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.saverTail, "/s");
    EXPECT_TRUE(p.options.showFrameRate);
}

TEST(CommandOptions, ThePreviewsRootAndWindowIdDrawIntoTheWindow) {
    for (const std::vector<const char*>& args : std::vector<std::vector<const char*>>{
             {"--root", "--window-id", "0x2a00007"},
             {"-window-id", "0x2a00007", "-root"},
             {"-root", "-window-id", "44040199", "-root"},
         }) {
        const Parsed p = parse(args);
        ASSERT_TRUE(p.ok) << p.error;
        EXPECT_EQ(p.options.mode, RunMode::WindowId);
        EXPECT_EQ(p.options.windowId, 0x2a00007u);
    }
}

TEST(CommandOptions, DelaysAreWholeMicrosecondsUpToTenSeconds) {
    EXPECT_EQ(parse({"-root", "-delay", "0"}).options.delayUs, 0u);
    EXPECT_EQ(parse({"-root", "--delay=10000000"}).options.delayUs, 10000000u);
    for (const char* bad : {"10000001", "-1", "1.5", "fast", "", "99999999999999999999"}) {
        const Parsed p = parse({"-root", "-delay", bad});
        EXPECT_FALSE(p.ok) << bad;
        EXPECT_NE(p.error.find("-delay"), std::string::npos) << p.error;
    }
    EXPECT_FALSE(parse({"-root", "-display", ""}).ok);
}

TEST(CommandOptions, VisualNamesAsTheDaemonsHacksTakeThem) {
    std::uint32_t id = 0;
    for (const char* rgb : {"best", "GL", "color", "colour", "TrueColor", "directcolor"}) {
        EXPECT_EQ(parseVisualName(rgb, id), VisualChoice::Best) << rgb;
    }
    EXPECT_EQ(parseVisualName("Default", id), VisualChoice::Default);
    EXPECT_EQ(parseVisualName("0x21", id), VisualChoice::ById);
    EXPECT_EQ(id, 0x21u);
    EXPECT_EQ(parseVisualName("33", id), VisualChoice::ById);
    EXPECT_EQ(id, 33u);
    for (const char* refused :
         {"mono", "gray", "PseudoColor", "StaticGray", "default-n", "0", "", "0x", "purple"}) {
        EXPECT_EQ(parseVisualName(refused, id), VisualChoice::Refused) << refused;
    }
    // A refused name is not a usage error: the run goes on with a warning.
    const Parsed p = parse({"-root", "-visual", "mono"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.visual, VisualChoice::Refused);
}

TEST(CommandOptions, TextureExportTakesAFolderAndASeed) {
    Parsed p = parse({"--export-textures", "out/textures", "--seed", "7"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.mode, RunMode::ExportTextures);
    EXPECT_EQ(p.options.exportDirectory, "out/textures");
    EXPECT_TRUE(p.options.seedGiven);
    EXPECT_EQ(p.options.seed, 7u);
}

TEST(CommandOptions, OneModeAtATimeAndOptionsOnlyWhereTheyApply) {
    for (const std::vector<const char*>& bad : std::vector<std::vector<const char*>>{
             {"--render", "o.png", "/s"},
             {"-root", "-window"},
             {"-window", "--render", "o.png"},
             {"/s", "--frames", "5"},
             {"-root", "--step-ms", "5"},
             {"/s", "--size", "10x10"},
             {"-window-id", "5", "--size", "10x10"},
             {"--render"},
             {"--render", ""},
             {"--export-textures"},
             {"--export-textures", "dir", "--render", "o.png"},
             {"--export-textures", "dir", "--size", "10x10"},
             {"--bogus"},
             {"--help=yes"},
             {"--render", "o.png", "-delay", "100"},
             {"--export-textures", "dir", "--fps"},
             {"--install-xscreensaver", "-root"},
             {"--uninstall-xscreensaver", "-sync"},
             {"--install-xscreensaver", "--uninstall-xscreensaver"},
         }) {
        const Parsed p = parse(bad);
        EXPECT_FALSE(p.ok) << bad[0];
        EXPECT_FALSE(p.error.empty());
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << "one line: " << p.error;
    }
}

TEST(CommandOptions, HelpAndVersionWinOverEverythingValid) {
    EXPECT_EQ(parse({"/s", "--help"}).options.mode, RunMode::Help);
    EXPECT_EQ(parse({"-h"}).options.mode, RunMode::Help);
    EXPECT_EQ(parse({"--version", "--render", "x.png"}).options.mode, RunMode::Version);
    // ...but a usage error is still an error.
    EXPECT_FALSE(parse({"--help", "--seed", "x"}).ok);
}

TEST(CommandOptions, TheHelpNamesEveryModeAndOption) {
    const std::string help = usageText();
    for (const char* word : {"/s",
                             "/p",
                             "/l",
                             "/c",
                             "-root",
                             "-window-id",
                             "-window",
                             "XSCREENSAVER_WINDOW",
                             "--render",
                             "--size",
                             "--frames",
                             "--step-ms",
                             "--export-textures",
                             "--seed",
                             "--monitors",
                             "--help",
                             "--version",
                             "-delay",
                             "-fps",
                             "-no-fps",
                             "-display",
                             "-visual",
                             "-install",
                             "-sync",
                             "-help",
                             "--install-xscreensaver",
                             "--uninstall-xscreensaver"}) {
        EXPECT_NE(help.find(word), std::string::npos) << word;
    }
}

} // namespace
