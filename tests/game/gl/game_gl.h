// Test support for game routines that need the renderer: a 1024 x 600 window, the keyboard
// table, pictures written as BMP files and loaded into sprite slots, and pixel reads.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "../game_state.h"
#include "input/key_maps.h"
#include "support/bmp_writer.h"
#include "support/scratch_directory.h"

namespace velkadorn_test {

constexpr int32_t kKeyColour = 0xF400F4;

// RGB integer (red + 256 green + 65536 blue) of the pixel at (x, y) from the top-left.
using PixelFunction = std::function<int32_t(int32_t x, int32_t y)>;

class GameGlTest : public kvn::testing_support::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        kvn::runtime.renderer = std::make_unique<kvn::VoruRERarudeve>();
        kvn::attach_renderer(kvn::runtime.renderer.get());
        ASSERT_TRUE(kvn::runtime.renderer->create(nullptr, 1024, 600, 0, 60, 0));
        kvn::runtime.input_state = std::make_unique<kvn::InputState>();
        // Scan codes index the key table directly; no window source, so nothing polls over
        // the keys a test holds.
        kvn::runtime.input_state->keyboard_device = true;
        kvn::build_key_map(true, kvn::runtime.input_state->key_map);
        kvn::attach_input(kvn::runtime.input_state.get());
        kvn::set_transparency(kKeyColour);
        start_playing_state();
    }
    void TearDown() override {
        restore_load_state();
        kvn::attach_input(nullptr);
        kvn::runtime.input_state.reset();
        kvn::attach_renderer(nullptr);
        kvn::runtime.renderer.reset();
        ScratchDirectoryTest::TearDown();
    }

    static void hold(int32_t scan_code) {
        kvn::runtime.input_state->keyboard_state[scan_code] = 0x80;
    }

    // Writes a 24-bit BMP of the picture and loads it into the slot.
    void load_picture(int32_t slot, int32_t width, int32_t height, const PixelFunction& pixel) {
        const std::string name = "picture" + std::to_string(slot) + ".bmp";
        write_bmp(name, width, height, pixel);
        kvn::load_sprite(name.c_str(), slot);
    }

    // A picture of one colour.
    void load_block(int32_t slot, int32_t width, int32_t height, int32_t colour = 0xFFFFFF) {
        load_picture(slot, width, height, [colour](int32_t, int32_t) { return colour; });
    }

    void write_bmp(const std::string& name, int32_t width, int32_t height,
                   const PixelFunction& pixel) const {
        kvn::testing_support::write_bmp(directory_ / name, width, height, pixel);
    }

    // The drawn picture's pixel at (x, y) from the top-left, as an RGB integer.
    static int32_t screen_pixel(int32_t x, int32_t y) {
        unsigned char rgba[4] = {};
        glReadPixels(x, 600 - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return rgba[0] + 256 * rgba[1] + 65536 * rgba[2];
    }
};

}  // namespace velkadorn_test
