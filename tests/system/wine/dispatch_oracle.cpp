// The portable dispatch as the Wine tests' yardstick: reads a whole command
// line (program name included) from a file and prints the exit code the
// saver gives it on the recording platform, set up as a fresh Windows desktop
// (the NT family, single-byte code page, no other windows). Prints "opens"
// instead when the line would open a window or a dialog, which a command-line
// comparison cannot wait for.
#include "fake_platform.h"
#include "host/command_line.h"
#include "host/saver_main.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dispatch_oracle COMMAND-LINE-FILE\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    const std::string commandLine((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());

    fake::State& desktop = fake::reset();
    desktop.doubleByteCodePage = false;
    desktop.platformId = 2;
    const int result =
        SaverMain(reinterpret_cast<HINSTANCE>(0x400000), ExtractCommandTail(commandLine.c_str()));
    if (!desktop.createdWindows.empty() || desktop.countCalls("runDialog") > 0) {
        std::puts("opens");
    } else {
        std::printf("%d\n", result);
    }
    return 0;
}
