// The game's own cost: (a) start-up from process start to the first frame of the loop, with the
// time spent decoding and uploading pictures; (b) a crowded scene for 600 frames without the
// frame limit, split between Process_Master and Draw_Screen, against a bare OpenGL loop that
// draws the same layers and quads with no game logic.
#include <GL/gl.h>
#include <kvn/kvn.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "../game/game.h"
#include "crowded_scene.h"
#include "files/media_archive.h"
#include "files/media_reader.h"
#include "image/image_decoders.h"
#include "image/texture_prep.h"
#include "platform/window.h"
#include "runtime/runtime_state.h"

using namespace kvn;

namespace {

constexpr int kFrames = 600;
constexpr int kBlocks = 6;

// Milliseconds since this process started (the kernel counts start times in clock ticks).
double ms_since_process_start() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i) fields >> field;  // field 22: start time
    const double ticks = sysconf(_SC_CLK_TCK);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return (now.tv_sec + now.tv_nsec / 1e9 - std::stod(field) / ticks) * 1000.0;
}

double cpu_ms() {
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// ---- The bare loop: the same quads straight through OpenGL ----

struct Texture {
    GLuint name;
    float u_max, v_max;
};

Texture texture_of(int32_t slot) {
    Texture texture{static_cast<GLuint>(get_sprite_texture(slot)), 1, 1};
    int32_t w = 0, h = 0;
    get_sprite_size_int(slot, w, h);
    if (texture.name == 0) return texture;
    GLint tex_w = 1, tex_h = 1;
    glBindTexture(GL_TEXTURE_2D, texture.name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tex_w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &tex_h);
    texture.u_max = static_cast<float>(w) / tex_w;
    texture.v_max = static_cast<float>(h) / tex_h;
    return texture;
}

void quad(const Texture& texture, double x, double y, double w, double h) {
    if (texture.name == 0) return;
    glBindTexture(GL_TEXTURE_2D, texture.name);
    glBegin(GL_QUADS);
    glTexCoord2f(0, texture.v_max);
    glVertex2d(x, y);
    glTexCoord2f(0, 0);
    glVertex2d(x, y + h);
    glTexCoord2f(texture.u_max, 0);
    glVertex2d(x + w, y + h);
    glTexCoord2f(texture.u_max, texture.v_max);
    glVertex2d(x + w, y);
    glEnd();
}

void additive(bool on, float alpha = 1) {
    if (on) {
        glEnable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    } else {
        glDisable(GL_BLEND);
        glEnable(GL_ALPHA_TEST);
    }
    glColor4f(1, 1, 1, alpha);
}

// One frame of the scene as it stands, drawn layer by layer like the game draws it.
void draw_bare_frame() {
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    const Texture star = texture_of(90);
    glBindTexture(GL_TEXTURE_2D, star.name);
    glBegin(GL_QUADS);
    for (int32_t i = 0; i < array_bounds(Stars, 0); ++i) {
        const Star& s = array_element(Stars, i);
        glColor3ub(static_cast<GLubyte>(s.z), static_cast<GLubyte>(s.z),
                   static_cast<GLubyte>(s.z + 55));
        glTexCoord2f(0, star.v_max);
        glVertex2d(s.x, s.y);
        glTexCoord2f(star.u_max, star.v_max);
        glVertex2d(s.x + 2, s.y);
        glTexCoord2f(star.u_max, 0);
        glVertex2d(s.x + 2, s.y + 2);
        glTexCoord2f(0, 0);
        glVertex2d(s.x, s.y + 2);
    }
    glEnd();
    glColor4f(1, 1, 1, 1);
    const int32_t current = to_integer(Current_Section);
    for (int32_t section : {current, current + 1}) {
        const double x = array_element(Section_X, section) + Level_X;
        quad(texture_of(910 + section), x, 0, 1024, 576);
        quad(texture_of(920 + section), x, 0, 1024, 576);
    }
    const Texture flame = texture_of(60);
    for (int32_t i = 0; i < array_bounds(Enemies, 0); ++i) {
        const Enemy& e = array_element(Enemies, i);
        additive(true);
        quad(flame, e.width + e.x - 8, e.y + 16, 32, 32);
        additive(false);
        quad(texture_of(to_integer(e.sprite)), e.x, e.y, e.width, e.height);
    }
    additive(true);
    quad(flame, Player_X - 24, Player_Y + 16, 32, 32);
    additive(false);
    quad(texture_of(50), Player_X, Player_Y, 64, 64);
    additive(true);
    for (int32_t i = 0; i < array_bounds(Enemy_Shots, 0); ++i) {
        const Shot& s = array_element(Enemy_Shots, i);
        quad(texture_of(to_integer(s.sprite)), s.x, s.y, s.width, s.height);
    }
    const Texture blast = texture_of(100);
    for (int32_t i = 0; i < array_bounds(Player_Shots, 0); ++i) {
        const Shot& s = array_element(Player_Shots, i);
        quad(blast, s.x, s.y, s.width, s.height);
    }
    for (int32_t i = 0; i < array_bounds(Explosions, 0); ++i) {
        const Explosion& e = array_element(Explosions, i);
        quad(texture_of(70 + to_integer(e.life * 8)), e.x, e.y, 64, 64);
    }
    for (int32_t i = 0; i < array_bounds(Sparks, 0); ++i) {
        const Spark& s = array_element(Sparks, i);
        quad(texture_of(80 + to_integer(s.life * 4)), s.x, s.y, 32, 32);
    }
    additive(true, 0.375f);
    for (int32_t section : {current, current + 1}) {
        quad(texture_of(890 + section), array_element(Section_X, section) + Level_X, 0, 1024, 576);
    }
    additive(false);
    quad(texture_of(5), 0, 536, 1024, 64);
    for (int32_t bar = 0; bar < 3; ++bar) quad(texture_of(6 + bar), 70, 544 + bar * 18, 200, 8);
    for (int32_t i = 0; i < 24; ++i) quad(texture_of(800 + i), 774 + i * 10, 574, 10, 20);
    const Texture font = texture_of(65535);
    for (int32_t i = 0; i < 20; ++i) quad(font, 600 + i * 17, i < 12 ? 0 : 573, 17, 27);
}

// The CPU steps of loading the stage pictures, each timed on its own over all of them: reading
// (and unpacking from the archive), decoding, and the texture preparation with the mipmaps.
struct LoadSteps {
    double read_ms = 0, decode_ms = 0, prepare_ms = 0;
};

LoadSteps stage_load_steps() {
    LoadSteps steps;
    std::vector<uint8_t> bytes;
    DecodedImage image;
    TextureImage texture;
    for (int32_t i = 0; i <= to_integer(Last_Section); ++i) {
        for (int32_t layer = 0; layer < 3; ++layer) {
            StringValue resolved;
            resolve_in_first_archive(array_element(Stage_Files, i, layer), resolved);
            const double t0 = clock_ms();
            read_whole_media(resolved.c_str(), &bytes);
            const double t1 = clock_ms();
            decode_png(bytes.data(), bytes.size(), resolved.c_str(), 0x8000FF, 8192, &image);
            const double t2 = clock_ms();
            prepare_texture(image, 0, 0, 0, 0, 8192, false, &texture);
            build_mipmap_chain(&texture, [](int32_t, int32_t, int32_t, const uint8_t*) {});
            steps.read_ms += t1 - t0;
            steps.decode_ms += t2 - t1;
            steps.prepare_ms += clock_ms() - t2;
        }
    }
    return steps;
}

struct Timing {
    double master_ms = 0, draw_ms = 0, present_ms = 0, wall_ms = 0, cpu_ms = 0;
};

}  // namespace

const SubTableEntry kvn_sub_table[] = {{nullptr, nullptr}};

void Set_Project_Defaults() {
    project_settings.screen_width = 640;
    project_settings.screen_height = 480;
    project_settings.frames_per_second = 60;
    project_settings.title = "Velkadorn benchmark";
}

void Game_Main() {
    // (a) Start-up: the start sequence and the first frame of the loop.
    const double start_cpu = cpu_ms();
    Game_Start();
    Game_Frame();
    const double startup_ms = ms_since_process_start();
    const double startup_cpu = cpu_ms() - start_cpu;
    // Decoding and uploading alone: every picture loaded once more.
    // The stage pictures into their slots: back layers 910.., walls 920.., lights 890...
    const auto load_stage_pictures = [] {
        for (int32_t i = 0; i <= to_integer(Last_Section); ++i) {
            for (int32_t layer = 0; layer < 3; ++layer) {
                const int32_t first_slot = layer == 0 ? 910 : layer == 1 ? 920 : 890;
                load_sprite(array_element(Stage_Files, i, layer), first_slot + i);
            }
        }
    };
    const double load_start = clock_ms();
    Load_Graphics();
    load_stage_pictures();
    const double load_ms = clock_ms() - load_start;
    const double stage_start = clock_ms();
    load_stage_pictures();
    const double stage_ms = clock_ms() - stage_start;
    const LoadSteps steps = stage_load_steps();
    const bool archive = access("vd.gfx", F_OK) == 0;
    std::printf(
        "start-up (%s): %.0f ms from process start to the first frame (%.0f ms CPU "
        "in the game's start), of which decoding and uploading the pictures %.0f ms\n",
        archive ? "media archive vd.gfx" : "loose files", startup_ms, startup_cpu, load_ms);
    std::printf(
        "  the %d stage pictures: load_sprite %.0f ms = reading %.0f ms + decoding %.0f ms "
        "+ texture and mipmaps %.0f ms + GL upload and the rest %.0f ms\n",
        3 * (to_integer(Last_Section) + 1), stage_ms, steps.read_ms, steps.decode_ms,
        steps.prepare_ms, stage_ms - steps.read_ms - steps.decode_ms - steps.prepare_ms);

    // (b) The crowded scene, frames not limited.
    limit_fps(1e6);
    random_seed(7);
    fill_scene();
    // Game and bare frames take turns in blocks, so a load elsewhere on the machine falls on
    // both alike; the best block of each is compared too.
    Timing game, bare;
    double best_game_block = 1e300, best_bare_block = 1e300;
    for (int block = 0; block < kBlocks; ++block) {
        const double game_start = clock_ms(), game_cpu = cpu_ms();
        for (int frame = 0; frame < kFrames / kBlocks; ++frame) {
            fill_scene();
            const double t0 = clock_ms();
            Process_Master();
            const double t1 = clock_ms();
            Draw_Screen();
            Draw_FPS();
            const double t2 = clock_ms();
            show_screen();
            game.master_ms += t1 - t0;
            game.draw_ms += t2 - t1;
            game.present_ms += clock_ms() - t2;
        }
        const double game_block = clock_ms() - game_start;
        game.wall_ms += game_block;
        game.cpu_ms += cpu_ms() - game_cpu;
        best_game_block = std::min(best_game_block, game_block);

        const double bare_start = clock_ms(), bare_cpu = cpu_ms();
        for (int frame = 0; frame < kFrames / kBlocks; ++frame) {
            const double t0 = clock_ms();
            draw_bare_frame();
            const double t1 = clock_ms();
            platform::gl_swap(main_window());
            bare.draw_ms += t1 - t0;
            bare.present_ms += clock_ms() - t1;
        }
        glFinish();
        const double bare_block = clock_ms() - bare_start;
        bare.wall_ms += bare_block;
        bare.cpu_ms += cpu_ms() - bare_cpu;
        best_bare_block = std::min(best_bare_block, bare_block);
        // The bare frames changed GL state behind the renderer's back.
        runtime.renderer->invalidate_gl_state_cache();
        set_viewport(0, 0, 0, 0);
    }

    std::printf(
        "crowded scene, %d frames (%d enemies, %d shots, %d stars, %d explosions, %d sparks):\n",
        kFrames, kEnemies, kShots, kStars, kExplosions, kSparks);
    std::printf(
        "  game: %6.1f fps, %6.2f ms/frame wall, %6.2f ms/frame CPU (all threads); "
        "Process_Master %.3f ms, Draw_Screen + Draw_FPS %.2f ms, present %.2f ms\n",
        kFrames * 1000.0 / game.wall_ms, game.wall_ms / kFrames, game.cpu_ms / kFrames,
        game.master_ms / kFrames, game.draw_ms / kFrames, game.present_ms / kFrames);
    std::printf(
        "  bare OpenGL: %6.1f fps, %6.2f ms/frame wall, %6.2f ms/frame CPU; drawing %.2f "
        "ms, swap %.2f ms\n",
        kFrames * 1000.0 / bare.wall_ms, bare.wall_ms / kFrames, bare.cpu_ms / kFrames,
        bare.draw_ms / kFrames, bare.present_ms / kFrames);
    std::printf(
        "  ratio game/bare frame time: %.2fx over all frames, %.2fx in the best of %d "
        "blocks of %d frames each (aim: at most 1.10x)\n",
        game.wall_ms / bare.wall_ms, best_game_block / best_bare_block, kBlocks, kFrames / kBlocks);
    end_statement();
}
