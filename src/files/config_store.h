// The configuration store: one open file of named sections holding key=value texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "kvn/value.h"

namespace kvn {

// One key=value line; keys of one section may repeat (only the first is found).
struct ConfigEntry {
    StringValue key;
    StringValue value;
};

// A named run of entries; names may repeat (only the first is found).
struct ConfigSection {
    StringValue name;
    // In file order, then in order of creation.
    std::vector<ConfigEntry> entries;
};

// The store of the files state; file_name is empty while no file is open.
struct ConfigStore {
    std::vector<ConfigSection> sections;
    StringValue file_name;
    // Where the write-back goes: file_name made absolute when the store was opened, so a later
    // change of the working directory cannot redirect it; empty for a "mem://" name.
    std::string write_path;
    // Set by every change of a key; a deleted section alone does not set it.
    bool modified = false;
};

// Longest line content kept on reading; the rest of a longer line is dropped.
constexpr size_t kConfigLineLimit = 1024;

// The attached files state's store (exposed so tests can look inside).
ConfigStore& config_store();

// Splits file bytes into sections; never reads outside [bytes, bytes + size).
std::vector<ConfigSection> parse_config_text(const uint8_t* bytes, size_t size);

// The written form: "[name]" then "key=value" lines, each ended by CR LF.
std::string config_text(const std::vector<ConfigSection>& sections);

// Writes the store to its file when it is modified and names a real file (never "mem://").
void config_write_back();

}  // namespace kvn
