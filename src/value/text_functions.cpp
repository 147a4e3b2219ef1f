// The language's text functions: cutting, searching, replacing, case folding, formatting,
// and the environment.
#include <cstdio>
#include <cstring>
#include <string>

#include "kvn/value.h"
#include "platform/system.h"

namespace kvn {

namespace {

// A value holding exactly these bytes.
StringValue from_bytes(const char* bytes, uint32_t count) {
    StringValue result;
    if (count == 0) return result;
    char* buffer = result.writable_buffer(count);
    std::memcpy(buffer, bytes, count);
    buffer[count] = '\0';
    result.set_length(count);
    return result;
}

}  // namespace

StringValue text_mid(const StringValue& source, int32_t start, int32_t count) {
    const int64_t length = source.length();
    int64_t wanted = count < 0 ? length : count;
    if (int64_t{start} + wanted > length) wanted = length - start;
    if (wanted <= 0 || start >= length || start < 0) return StringValue();
    return from_bytes(source.c_str() + start, static_cast<uint32_t>(wanted));
}

int32_t text_find(const StringValue& text, const StringValue& search, int32_t start) {
    if (start < 0 || static_cast<uint32_t>(start) > text.system_length()) return -1;
    const char* rest = text.c_str() + start;
    const char* found = std::strstr(rest, search.c_str());
    return found ? static_cast<int32_t>(found - text.c_str()) : -1;
}

StringValue text_replace(const StringValue& source, const StringValue& search,
                         const StringValue& replacement) {
    // An empty search text matches everywhere and would never end.
    if (search.system_length() == 0) return source;
    // The search goes on after each inserted replacement, so only the source's own text is
    // ever searched: one pass over it builds the same result.
    const char* rest = source.c_str();
    const char* match = std::strstr(rest, search.c_str());
    if (!match) return source;
    const size_t search_length = search.system_length();
    std::string result;
    result.reserve(source.length());
    for (; match; match = std::strstr(rest, search.c_str())) {
        result.append(rest, match);
        result.append(replacement.c_str(), replacement.system_length());
        rest = match + search_length;
    }
    result.append(rest);
    return from_bytes(result.data(), static_cast<uint32_t>(result.size()));
}

StringValue text_upper(const StringValue& source) {
    StringValue result = source;
    result.to_upper();
    return result;
}

StringValue text_lower(const StringValue& source) {
    StringValue result = source;
    result.to_lower();
    return result;
}

StringValue text_char(int32_t code) {
    static StringValue character = [] {
        StringValue one;
        one.writable_buffer(1);
        one.set_length(1);
        return one;
    }();
    character.writable_buffer(1)[0] = static_cast<char>(code & 0xFF);
    return character;
}

StringValue format_number(double width, double decimals, double number) {
    const int32_t field = to_integer(width);
    // A negative precision counts as none given, as with printf's "*".
    const int32_t precision = to_integer(decimals);
    const int needed = std::snprintf(nullptr, 0, "%*.*f", field, precision, number);
    if (needed <= 0) return StringValue();
    StringValue result;
    const uint32_t length = static_cast<uint32_t>(needed);
    std::snprintf(result.writable_buffer(length), size_t{length} + 1, "%*.*f", field, precision,
                  number);
    result.recount();
    return result;
}

int32_t number_text_length(double number) {
    return static_cast<int32_t>(number_to_text(number).length());
}

int32_t number_text_length(int32_t number) {
    return static_cast<int32_t>(int_to_text(number).length());
}

StringValue env_get(const StringValue& name) {
    if (name.empty()) {
        std::string entries;
        for (const std::string& entry : platform::program_environment_entries()) {
            entries += entry;
            entries += '\n';
        }
        return StringValue(entries.c_str());
    }
    return StringValue(platform::program_environment_value(name.c_str()).c_str());
}

void env_put(const StringValue& name, const StringValue& value) {
    platform::environment_set(name.c_str(), value.c_str());
}

}  // namespace kvn
