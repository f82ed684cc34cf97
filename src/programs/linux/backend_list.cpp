#include "programs/linux/backend_list.h"

#include "platform/wayland/wayland_backend.h"
#include "platform/x11/x11_backend.h"

const std::vector<const Backend*>& linuxBackends() {
    static const std::vector<const Backend*> list = {
        &wayland::backend(),
        &x11::backend(),
    };
    return list;
}

const Backend* backendNamed(const std::vector<const Backend*>& list, const std::string& name) {
    for (const Backend* backend : list) {
        if (name == backend->name) {
            return backend;
        }
    }
    return nullptr;
}

const Backend* startBackend(const std::vector<const Backend*>& list, const std::string& wanted,
                            const BackendSettings& settings, std::string& error) {
    error.clear();
    for (const Backend* backend : list) {
        if (!wanted.empty() && wanted != backend->name) {
            continue;
        }
        std::string reason;
        if (backend->probe(settings, reason) && backend->start(settings, reason)) {
            error.clear();
            return backend;
        }
        error += (error.empty() ? "" : "; ") + reason;
    }
    if (error.empty()) {
        error = "no window system named '" + wanted + "'";
    }
    return nullptr;
}
