// Value model against the standard library: text appends, number formatting, record pushes and
// bounds-checked element reads. Prints the best of a few runs of each and the ratio kvn / std.
#include "kvn/value.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "best_time.h"

namespace {

using kvn::bench::best_ms;

// Keeps results alive so the optimiser cannot drop the measured work.
volatile double sink = 0;

struct Record {
    double fields[8];
};

void report(const char* name, double kvn_ms, double std_ms) {
    std::printf("%-34s kvn %9.2f ms   std %9.2f ms   ratio %5.2f\n", name, kvn_ms, std_ms,
                kvn_ms / std_ms);
}

void bench_text_append() {
    constexpr int kLength = 1 << 20;
    const double kvn_ms = best_ms([] {
        kvn::StringValue text;
        for (int i = 0; i < kLength; ++i) text += "x";
        sink = sink + text.length();
    });
    const double std_ms = best_ms([] {
        std::string text;
        for (int i = 0; i < kLength; ++i) text += "x";
        sink = sink + static_cast<double>(text.size());
    });
    report("append 1 MB, one char at a time", kvn_ms, std_ms);
}

void bench_number_text() {
    constexpr int kCount = 1000000;
    std::vector<double> numbers(kCount);
    for (int i = 0; i < kCount; ++i) {
        numbers[i] = i * 0.37 - 1e5;
        if (i % 10 == 0) numbers[i] *= 1e12;
        if (i % 10 == 1) numbers[i] *= 1e-9;
        if (i % 10 == 2) numbers[i] = i;
    }
    const double kvn_ms = best_ms([&] {
        uint32_t total = 0;
        for (const double number : numbers) total += kvn::number_to_text(number).length();
        sink = sink + total;
    });
    const double std_ms = best_ms([&] {
        uint32_t total = 0;
        char text[64];
        for (const double number : numbers) {
            total += static_cast<uint32_t>(std::snprintf(text, sizeof text, "%.10g", number));
        }
        sink = sink + total;
    });
    report("number to text, 1M numbers", kvn_ms, std_ms);
}

void bench_record_push() {
    constexpr int kCount = 1000000;
    const double kvn_ms = best_ms([] {
        kvn::ValueArray<Record> records;
        Record record{};
        for (int i = 0; i < kCount; ++i) {
            record.fields[0] = i;
            kvn::array_push(records, record);
        }
        sink = sink + kvn::array_element(records, -1).fields[0];
    });
    const double std_ms = best_ms([] {
        std::vector<Record> records;
        Record record{};
        for (int i = 0; i < kCount; ++i) {
            record.fields[0] = i;
            records.push_back(record);
        }
        sink = sink + records.back().fields[0];
    });
    report("push 1M records of 8 numbers", kvn_ms, std_ms);
}

void bench_element_reads() {
    constexpr int kEdge = 100;
    constexpr int kPasses = 10;
    kvn::ValueArray<double> cube;
    kvn::dim_array(cube, kEdge, kEdge, kEdge);
    std::vector<double> plain(kEdge * kEdge * kEdge);
    for (int i = 0; i < kEdge * kEdge * kEdge; ++i) plain[i] = cube.elements[i] = i % 7;
    const double kvn_ms = best_ms([&] {
        double sum = 0;
        for (int pass = 0; pass < kPasses; ++pass) {
            for (int z = 0; z < kEdge; ++z) {
                for (int y = 0; y < kEdge; ++y) {
                    for (int x = 0; x < kEdge; ++x) sum += kvn::array_element(cube, x, y, z);
                }
            }
        }
        sink = sink + sum;
    });
    const double std_ms = best_ms([&] {
        double sum = 0;
        const double* data = plain.data();
        for (int pass = 0; pass < kPasses; ++pass) {
            for (int z = 0; z < kEdge; ++z) {
                for (int y = 0; y < kEdge; ++y) {
                    for (int x = 0; x < kEdge; ++x) sum += data[x + y * kEdge + z * kEdge * kEdge];
                }
            }
        }
        sink = sink + sum;
    });
    report("10M element reads, 3-D array", kvn_ms, std_ms);
}

}  // namespace

int main() {
    bench_text_append();
    bench_number_text();
    bench_record_push();
    bench_element_reads();
    return 0;
}
