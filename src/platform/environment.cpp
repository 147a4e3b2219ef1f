// The process environment.
#include <stdlib.h>

#include <cstring>

#include "platform/platform.h"

extern char** environ;

namespace kvn::platform {

std::string environment_value(const char* name) {
    const char* value = name ? getenv(name) : nullptr;
    return value ? value : "";
}

std::vector<std::string> environment_entries() {
    std::vector<std::string> entries;
    for (char** entry = environ; entry && *entry; ++entry) entries.emplace_back(*entry);
    return entries;
}

bool environment_set(const char* name, const char* value) {
    if (!name || !*name || std::strchr(name, '=')) return false;
    // "NAME=" with nothing after it removes the variable, as the original platform does.
    if (!value || !*value) return unsetenv(name) == 0;
    return setenv(name, value, 1) == 0;
}

}  // namespace kvn::platform
