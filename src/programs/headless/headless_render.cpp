#include "programs/headless/headless_render.h"

#include "host/saver_window.h"

bool renderHeadless(const HeadlessRender& request, std::vector<std::uint8_t>& rgbRows,
                    std::string& error) {
    if (!headless::start(request, rgbRows, error)) {
        return false;
    }
    installPlatform(headless::platformTable());
    const int exitCode = RunSaverWindow(headless::virtualParentWindow());
    headless::stop();

    if (rgbRows.empty()) {
        error = "the saver window could not be made, so nothing was drawn";
        return false;
    }
    if (exitCode != 0) {
        error = "the saver's run ended with code " + std::to_string(exitCode);
        return false;
    }
    return true;
}
