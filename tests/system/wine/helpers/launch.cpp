// Starts a program with an exact command line read from a file, waits for
// it and exits with its exit code. Lets the tests hand haze.scr byte strings
// no shell or Wine argument quoting would pass through unchanged.
//   launch.exe PROGRAM COMMAND-LINE-FILE
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: launch PROGRAM COMMAND-LINE-FILE\n");
        return 100;
    }
    std::FILE* file = std::fopen(argv[2], "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 101;
    }
    std::vector<char> commandLine;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        commandLine.push_back(static_cast<char>(c));
    }
    std::fclose(file);
    commandLine.push_back('\0');

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", argv[1], GetLastError());
        return 102;
    }
    WaitForSingleObject(process.hProcess, 20000);
    DWORD code = 103;
    GetExitCodeProcess(process.hProcess, &code);
    std::printf("%ld\n", static_cast<long>(code));
    return 0;
}
