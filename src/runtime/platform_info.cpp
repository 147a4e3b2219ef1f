// platform_info: answers about the machine by key.
#include "runtime/platform_info.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <string_view>

#include "runtime/runtime_state.h"

namespace kvn {

namespace {

// Stand-in serial when the machine has no readable identifier, and the mask that keeps the raw
// machine identifier out of the "ID" answer.
constexpr uint32_t kFallbackSerial = 0x4B564E31;
constexpr uint32_t kIdMask = 0x5A3C96E1;

constexpr const char kBuildStamp[] = __DATE__ "-" __TIME__;

struct LocaleCode {
    uint16_t id;
    const char* code;
};

constexpr LocaleCode kLocaleCodes[] = {
    {0x0401, "ar"}, {0x0402, "bg"}, {0x0403, "ca"}, {0x0404, "ch"}, {0x0405, "cs"}, {0x0406, "da"},
    {0x0407, "de"}, {0x0408, "gr"}, {0x0409, "uk"}, {0x040A, "es"}, {0x040B, "fi"}, {0x040C, "fr"},
    {0x040D, "he"}, {0x040E, "hu"}, {0x040F, "is"}, {0x0410, "it"}, {0x0411, "jp"}, {0x0412, "ko"},
    {0x0413, "nl"}, {0x0414, "no"}, {0x0415, "pl"}, {0x0416, "pt"}, {0x0418, "ro"}, {0x0419, "ru"},
    {0x041A, "hr"}, {0x041B, "sk"}, {0x041C, "sq"}, {0x041D, "sv"}, {0x041E, "th"}, {0x041F, "tr"},
    {0x0420, "ur"}, {0x0421, "in"}, {0x0422, "uk"}, {0x0423, "be"}, {0x0424, "sl"}, {0x0425, "et"},
    {0x0426, "lv"}, {0x0427, "lt"}, {0x0429, "fa"}, {0x042A, "vi"}, {0x042B, "hy"}, {0x042C, "az"},
    {0x042D, "eu"}, {0x042F, "mk"}, {0x0436, "af"}, {0x0437, "ka"}, {0x0438, "fo"}, {0x0439, "hi"},
    {0x043E, "ms"}, {0x043F, "kk"}, {0x0440, "ky"}, {0x0441, "sw"}, {0x0443, "uz"}, {0x0444, "tt"},
    {0x0445, "be"}, {0x0446, "pa"}, {0x0447, "gu"}, {0x0448, "or"}, {0x0449, "ta"}, {0x044A, "te"},
    {0x044B, "ka"}, {0x044C, "ma"}, {0x044D, "as"}, {0x044E, "ma"}, {0x044F, "sa"}, {0x0450, "mo"},
    {0x0456, "gl"}, {0x0457, "kn"}, {0x045A, "sy"}, {0x0465, "di"}, {0x0801, "ar"}, {0x0804, "ch"},
    {0x0807, "de"}, {0x0809, "us"}, {0x080A, "es"}, {0x080C, "fr"}, {0x0810, "it"}, {0x0813, "nl"},
    {0x0814, "no"}, {0x0816, "pt"}, {0x081A, "sr"}, {0x081D, "sv"}, {0x0820, "ur"}, {0x0827, "lt"},
    {0x082C, "az"}, {0x083E, "ms"}, {0x0843, "uz"}, {0x0C01, "ar"}, {0x0C04, "zh"}, {0x0C07, "de"},
    {0x0C09, "us"}, {0x0C0A, "es"}, {0x0C0C, "fr"}, {0x0C1A, "sr"}, {0x1001, "ar"}, {0x1004, "zh"},
    {0x1007, "de"}, {0x1009, "us"}, {0x100A, "es"}, {0x100C, "fr"}, {0x1401, "ar"}, {0x1404, "zh"},
    {0x1407, "de"}, {0x1409, "us"}, {0x140A, "es"}, {0x140C, "fr"}, {0x1801, "ar"}, {0x1809, "us"},
    {0x180A, "es"}, {0x180C, "fr"}, {0x1C01, "ar"}, {0x1C09, "us"}, {0x1C0A, "es"}, {0x2001, "ar"},
    {0x2009, "us"}, {0x200A, "es"}, {0x2401, "ar"}, {0x2409, "us"}, {0x240A, "es"}, {0x2801, "ar"},
    {0x2809, "us"}, {0x280A, "es"}, {0x2C01, "ar"}, {0x2C09, "us"}, {0x2C0A, "es"}, {0x3001, "ar"},
    {0x3009, "us"}, {0x300A, "es"}, {0x3401, "ar"}, {0x3409, "us"}, {0x340A, "es"}, {0x3801, "ar"},
    {0x380A, "es"}, {0x3C01, "ar"}, {0x3C0A, "es"}, {0x4001, "ar"}, {0x400A, "es"}, {0x440A, "es"},
    {0x480A, "es"}, {0x4C0A, "es"}, {0x500A, "es"},
};

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

const char* locale_code_for_language_id(uint16_t id) {
    for (const LocaleCode& entry : kLocaleCodes) {
        if (entry.id == id) return entry.code;
    }
    return "us";
}

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
    if (name.compare("LOCALE") == 0) return locale_code_for_language_id(platform::ui_language_id());
    if (name.compare("DOCUMENTS") == 0) return documents_text();
    return "NO_DATA";
}

}  // namespace kvn
