// platform_info: answers about the machine by key.
#include <cstdio>
#include <cstring>
#include <functional>
#include <string_view>

#include "kvn/runtime.h"
#include "platform/system.h"
#include "platform/window.h"
#include "runtime/locales.h"

namespace kvn {

namespace {

// Stand-in serial when the machine has no readable identifier, and the mask that keeps the raw
// machine identifier out of the "ID" answer.
constexpr uint32_t kFallbackSerial = 0x4B564E31;
constexpr uint32_t kIdMask = 0x5A3C96E1;

constexpr const char kBuildStamp[] = __DATE__ "-" __TIME__;

bool starts_with(const StringValue& text, const char* prefix) {
    return std::string_view(text.c_str(), text.length()).substr(0, std::strlen(prefix)) == prefix;
}

StringValue machine_id_text() {
    uint32_t id = platform::machine_serial(kFallbackSerial) ^ kIdMask;
    return bytes_to_hex(&id, sizeof id);
}

StringValue time_text() {
    platform::LocalTime now = platform::local_time();
    char text[48];
    std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", now.year, now.month, now.day,
                  now.hour, now.minute, now.second);
    return text;
}

// Eight hex digits that change with every build and only then.
StringValue host_id_text() {
    auto hash = static_cast<uint32_t>(std::hash<std::string_view>{}(kBuildStamp));
    char text[16];
    std::snprintf(text, sizeof text, "%08x", hash);
    return text;
}

StringValue documents_text() {
    std::string folder = platform::documents_folder();
    if (folder.empty()) return "NO_DATA";
    for (char& c : folder) {
        if (c == '\\') c = '/';
    }
    return folder.c_str();
}

}  // namespace

StringValue platform_info(const StringValue& key) {
    StringValue name = key;
    name.to_upper();
    if (name.empty()) return "WIN32";
    if (starts_with(name, "GLEXT:")) {
        // Entry point names are case-sensitive: the name comes from the key as given.
        return platform::gl_proc_address(key.c_str() + 6) != nullptr ? "1" : "0";
    }
    if (name.compare("ID") == 0) return machine_id_text();
    if (name.compare("DEVICE") == 0) return "DESKTOP";
    if (name.compare("TIME") == 0) return time_text();
    if (name.compare("BATTERY") == 0)
        return StringValue(static_cast<double>(platform::battery_percent()));
    if (name.compare("COMPILED") == 0) return kBuildStamp;
    if (name.compare("HOSTID") == 0) return host_id_text();
    if (name.compare("LOCALE") == 0)
        return locale_code_for_language_id(language_id_from_locale(platform::ui_locale().c_str()));
    if (name.compare("DOCUMENTS") == 0) return documents_text();
    return "NO_DATA";
}

}  // namespace kvn
