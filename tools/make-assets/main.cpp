// make-assets: draws every picture, the font and the sounds of the shooter from fixed seeds.
// The same bytes come out on every run; the build packs them into the media archive.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "families.h"

namespace assets {

void AssetWriter::record(const std::string& name, bool written) {
    ++count_;
    if (!written && failed_.empty()) failed_ = name;
}

void AssetWriter::png(const std::string& name, const Image& image, PngType type) {
    record(name, write_png(directory_ + "/" + name, image, type));
}

namespace {

void put_u16(std::string* bytes, uint32_t v) {
    bytes->push_back(char(v & 255));
    bytes->push_back(char(v >> 8 & 255));
}

void put_u32(std::string* bytes, uint32_t v) {
    put_u16(bytes, v & 0xFFFF);
    put_u16(bytes, v >> 16);
}

}  // namespace

void AssetWriter::wav(const std::string& name, const std::vector<int16_t>& samples,
                      int sample_rate) {
    // Two bytes per sample keep the data chunk, and so every chunk, at an even size.
    const uint32_t data_size = uint32_t(samples.size() * 2);
    std::string bytes = "RIFF";
    put_u32(&bytes, 36 + data_size);
    bytes += "WAVEfmt ";
    put_u32(&bytes, 16);
    put_u16(&bytes, 1);  // PCM
    put_u16(&bytes, 1);  // mono
    put_u32(&bytes, uint32_t(sample_rate));
    put_u32(&bytes, uint32_t(sample_rate) * 2);
    put_u16(&bytes, 2);
    put_u16(&bytes, 16);
    bytes += "data";
    put_u32(&bytes, data_size);
    for (int16_t s : samples) put_u16(&bytes, uint16_t(s));
    std::FILE* file = std::fopen((directory_ + "/" + name).c_str(), "wb");
    bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file) written = std::fclose(file) == 0 && written;
    record(name, written);
}

}  // namespace assets

int main(int argc, char** argv) {
    if (argc != 3 || std::strcmp(argv[1], "--loose") != 0) {
        std::fputs("usage: make-assets --loose DIR   (writes every asset file into DIR)\n", stderr);
        return 2;
    }
    const std::string directory = argv[2];
    mkdir(directory.c_str(), 0777);
    const auto start = std::chrono::steady_clock::now();
    assets::AssetWriter out(directory);
    assets::make_ships(out);
    assets::make_effects(out);
    assets::make_shots(out);
    assets::make_hud(out);
    assets::make_font(out);
    assets::make_stage(out);
    assets::make_sounds(out);
    if (!out.ok()) {
        std::fprintf(stderr, "make-assets: cannot write \"%s/%s\"\n", directory.c_str(),
                     out.failed().c_str());
        return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("make-assets: %d files in %s (%.2f s)\n", out.count(), directory.c_str(), seconds);
    return 0;
}
