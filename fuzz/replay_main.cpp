// Replays every file of a corpus folder through a fuzz target: the regression test of the
// seeds and of every input a fuzzing run found. It reports "replayed N of M inputs" only when
// it got through them all; an input that ends the process fails the replay.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/exit_guard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::string current_input;

const char* current_input_name() {
    current_input = "input " + current_input;
    return current_input.c_str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> inputs;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[1])) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    kvn::testing_support::arm_exit_guard(current_input_name);
    size_t replayed = 0;
    for (const std::filesystem::path& path : inputs) {
        current_input = path.string();
        std::ifstream file(path, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                         std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++replayed;
    }
    kvn::testing_support::disarm_exit_guard();
    std::printf("replayed %zu of %zu inputs\n", replayed, inputs.size());
    return replayed > 0 && replayed == inputs.size() ? 0 : 1;
}
