#include "platform/x11/x11_connection.h"

#include "platform/x11/x11_lost_connection.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace x11 {
namespace {

Display* connection = nullptr;
int trapDepth = 0;
int trappedErrors = 0;
Window watchedSaver = 0;
Window formerSaver = 0; // errors about it after it went away are expected
std::string heldError;  // the first error about the saver window, held back
int heldCount = 0;
int reportedErrors = 0;

// Errors printed at most: a fault that repeats every frame must not flood
// the terminal.
constexpr int maximumReportedErrors = 5;

std::string describe(Display* d, const XErrorEvent& e) {
    char text[160] = "";
    XGetErrorText(d, e.error_code, text, sizeof text);
    char request[80] = "";
    const std::string number = std::to_string(e.request_code);
    XGetErrorDatabaseText(d, "XRequest", number.c_str(), number.c_str(), request, sizeof request);
    char line[400];
    std::snprintf(line, sizeof line, "X error: %s, in request %s, resource 0x%lx", text, request,
                  static_cast<unsigned long>(e.resourceid));
    return line;
}

void report(const std::string& line) {
    ++reportedErrors;
    if (reportedErrors <= maximumReportedErrors) {
        std::fprintf(stderr, "haze: %s\n", line.c_str());
    } else if (reportedErrors == maximumReportedErrors + 1) {
        std::fprintf(stderr, "haze: further X errors are not shown\n");
    }
}

int onError(Display* d, XErrorEvent* e) {
    if (trapDepth > 0) {
        ++trappedErrors;
        return 0;
    }
    if (formerSaver != 0 && e->resourceid == formerSaver) {
        return 0;
    }
    if (watchedSaver != 0 && e->resourceid == watchedSaver) {
        if (heldCount++ == 0) {
            heldError = describe(d, *e);
        }
        return 0;
    }
    report(describe(d, *e));
    return 0;
}

int onIoError(Display*) {
    endForLostConnection();
}

} // namespace

bool named(const std::string& name, std::string& reason) {
    const char* shown = name.empty() ? std::getenv("DISPLAY") : name.c_str();
    if (shown == nullptr || *shown == '\0') {
        reason = "no X display (DISPLAY is not set)";
        return false;
    }
    return true;
}

bool connect(std::string& error, const std::string& name) {
    if (!named(name, error)) {
        return false;
    }
    // Before the display is opened: the server may go while it is being
    // opened, and Xlib would then print its own lines and exit.
    XSetErrorHandler(onError);
    XSetIOErrorHandler(onIoError);
    if (!handleSignalsOfALostConnection()) {
        error = "cannot watch for the loss of the X display";
        return false;
    }
    connection = XOpenDisplay(name.empty() ? nullptr : name.c_str());
    if (connection == nullptr) {
        error = std::string("cannot open the X display '") +
                (name.empty() ? std::getenv("DISPLAY") : name.c_str()) + "'";
        return false;
    }
    watchConnectionSocket(ConnectionNumber(connection));
    return true;
}

Display* display() {
    return connection;
}

int screen() {
    return DefaultScreen(connection);
}

Window root() {
    return RootWindow(connection, DefaultScreen(connection));
}

void disconnect() {
    if (connection != nullptr) {
        XSync(connection, False);
        watchConnectionSocket(-1);
        XCloseDisplay(connection);
        connection = nullptr;
    }
}

void confirmConnection() {
    XSync(connection, False);
}

ErrorTrap::ErrorTrap() : savedCount_(trappedErrors) {
    XSync(connection, False); // errors of earlier requests are not ours
    savedCount_ = trappedErrors;
    ++trapDepth;
}

ErrorTrap::~ErrorTrap() {
    XSync(connection, False);
    --trapDepth;
}

bool ErrorTrap::failed() {
    XSync(connection, False);
    return trappedErrors != savedCount_;
}

void watchSaverWindow(Window window) {
    watchedSaver = window;
}

bool saverErrorsHeld() {
    return heldCount > 0;
}

void settleSaverErrors(bool saverGone) {
    if (saverGone) {
        formerSaver = watchedSaver;
        watchedSaver = 0;
    } else if (heldCount > 0) {
        report(heldError +
               (heldCount > 1 ? " (and " + std::to_string(heldCount - 1) + " more)" : ""));
    }
    heldError.clear();
    heldCount = 0;
}

} // namespace x11
