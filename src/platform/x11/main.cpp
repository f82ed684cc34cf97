// haze on Linux: the process entry.
#include <cstdio>
#include <cstring>

namespace {

const char usage[] = "Usage: haze [MODE] [OPTIONS]\n"
                     "\n"
                     "An animated OpenGL screen saver: coloured stars, a yellow glow and\n"
                     "translucent smoke drifting through a letterboxed, fading view.\n"
                     "\n"
                     "Modes (the window system arrives in the next release):\n"
                     "  /s                 full screen until a key, a click or mouse travel\n"
                     "  /p ID, /l ID       preview inside the window with decimal id ID\n"
                     "  /c                 configuration\n"
                     "  --help             this text\n"
                     "  --version          the version\n";

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("haze %s\n", HAZE_VERSION);
        return 0;
    }
    std::fputs(usage, stdout);
    return 0;
}
