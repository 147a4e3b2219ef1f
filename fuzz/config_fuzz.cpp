// Configuration parser on arbitrary bytes: no overrun, and what it reads survives being
// written and read again unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "files/config_store.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

bool same_text(const kvn::StringValue& left, const kvn::StringValue& right) {
    return left.length() == right.length() &&
           std::memcmp(left.c_str(), right.c_str(), left.length()) == 0;
}

// Properties every parsed store has by the format's own rules.
void check_shape(const std::vector<kvn::ConfigSection>& sections) {
    for (const kvn::ConfigSection& section : sections) {
        require(!section.entries.empty());
        require(std::strcspn(section.name.c_str(), " \t\r\n=") == section.name.length());
        for (const kvn::ConfigEntry& entry : section.entries) {
            require(!entry.value.empty());
            require(entry.key.length() + entry.value.length() < kvn::kConfigLineLimit);
            require(std::strcspn(entry.key.c_str(), " \t\r\n=") == entry.key.length());
            require(std::strlen(entry.value.c_str()) == entry.value.length());
            require(static_cast<signed char>(entry.value[entry.value.length() - 1]) > 31);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<kvn::ConfigSection> first = kvn::parse_config_text(data, size);
    check_shape(first);
    const std::string text = kvn::config_text(first);
    const std::vector<kvn::ConfigSection> second =
        kvn::parse_config_text(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    require(first.size() == second.size());
    for (size_t s = 0; s < first.size(); ++s) {
        require(same_text(first[s].name, second[s].name));
        require(first[s].entries.size() == second[s].entries.size());
        for (size_t e = 0; e < first[s].entries.size(); ++e) {
            require(same_text(first[s].entries[e].key, second[s].entries[e].key));
            require(same_text(first[s].entries[e].value, second[s].entries[e].value));
        }
    }
    require(kvn::config_text(second) == text);
    return 0;
}
