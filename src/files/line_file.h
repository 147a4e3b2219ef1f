// The line file: one cached text file addressed by line number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvn {

constexpr int32_t kLineFileSlots = 256;

struct LineFile {
    // The name as the program gave it; selection compares against it byte for byte.
    std::string name;
    // Where the write-back goes: the name made absolute when it was selected, so a later
    // change of the working directory (shutdown makes the program's directory current before
    // the exit handlers run) cannot redirect it.
    std::string write_path;
    std::vector<std::string> slots = std::vector<std::string>(kLineFileSlots);
    // Highest line number read or stored; -1 when there is none.
    int32_t highest_line = -1;
    bool modified = false;
    // The selected file could not be read and nothing has been stored since.
    bool missing = false;
};

}  // namespace kvn
