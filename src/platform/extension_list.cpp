#include "platform/extension_list.h"

#include <cstring>

bool listsExtension(const char* list, const char* name) {
    const std::size_t length = std::strlen(name);
    if (list == nullptr || length == 0) {
        return false;
    }
    for (const char* at = std::strstr(list, name); at != nullptr;
         at = std::strstr(at + length, name)) {
        const bool startsEntry = at == list || at[-1] == ' ';
        const bool endsEntry = at[length] == ' ' || at[length] == '\0';
        if (startsEntry && endsEntry) {
            return true;
        }
    }
    return false;
}
