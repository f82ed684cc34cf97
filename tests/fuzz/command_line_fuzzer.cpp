// Any byte string as a command line: command-tail extraction, dispatch and
// window-handle parsing must give a defined result and never read out of
// range. Runs with AddressSanitizer and UndefinedBehaviorSanitizer.
#include "fake_platform.h"
#include "host/command_line.h"
#include "host/saver_host_state.h"
#include "host/saver_main.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr int loopExitCode = 7;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exact-size heap copy, so the sanitizer sees any read past the NUL.
    std::unique_ptr<char[]> commandLine(new char[size + 1]);
    std::memcpy(commandLine.get(), data, size);
    commandLine[size] = '\0';
    const char* begin = commandLine.get();
    const char* end = begin + std::strlen(begin);

    fake::State& fakes = fake::reset();
    fakes.loopExitCode = loopExitCode;
    fakes.platformId = size % 2 == 0 ? 1 : 2; // both families, so /a is reached
    fakes.windows.insert(fake::window(1234));
    fakes.clientRects[fake::window(1234)] = RECT{0, 0, 152, 112};
    fakes.systemLibraries["MPR.DLL"] = fake::module(0x77);

    const char* tail = ExtractCommandTail(begin);
    check(tail >= begin && tail <= end);

    ParseWindowHandle(begin);
    ParseWindowHandle(tail);

    const int result = SaverMain(reinterpret_cast<HINSTANCE>(0x400000), tail);
    const bool drew = !fakes.createdWindows.empty();
    switch (result) {
    case -1:
        check(!drew);
        break;
    case 0:
    case 1:
        check(!drew); // configuration, password change
        break;
    case loopExitCode:
        check(drew);
        check(fakes.createdWindows.size() == 1);
        break;
    default:
        check(false);
    }
    return 0;
}
