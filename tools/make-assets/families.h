// The asset families: each function draws one family of the game's files and hands every
// file to the writer under its final name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster.h"

namespace assets {

// Writes the files into one directory and remembers the first failure.
class AssetWriter {
  public:
    explicit AssetWriter(std::string directory) : directory_(std::move(directory)) {}

    void png(const std::string& name, const Image& image, PngType type);
    // A mono 16-bit PCM RIFF/WAVE file.
    void wav(const std::string& name, const std::vector<int16_t>& samples, int sample_rate);

    bool ok() const { return failed_.empty(); }
    const std::string& failed() const { return failed_; }
    int count() const { return count_; }

  private:
    void record(const std::string& name, bool written);

    std::string directory_;
    std::string failed_;
    int count_ = 0;
};

// Player ship and the three enemy ships.
void make_ships(AssetWriter& out);
// Engine flames, explosions, sparks and the star.
void make_effects(AssetWriter& out);
// The player's and the enemies' shots.
void make_shots(AssetWriter& out);
// HUD panel, the three bar fills and the rank strip slices.
void make_hud(AssetWriter& out);
// The bitmap font.
void make_font(AssetWriter& out);
// The nine stage sections in their three layers.
void make_stage(AssetWriter& out);
// The two shot sounds and the explosion.
void make_sounds(AssetWriter& out);

}  // namespace assets
