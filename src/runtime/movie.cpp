// Movies: played over the game's picture while the program waits for a key, a button or the
// movie's end; the game's drawing in the back buffer is the same afterwards.
#include <algorithm>

#include "kvn/input.h"
#include "platform/system.h"
#include "platform/window.h"
#include "runtime/media.h"
#include "runtime/runtime_state.h"

namespace kvn {

namespace {

constexpr int32_t kNotFound = 3;
// The wait between two looks at the movie and the devices.
constexpr uint32_t kMovieWaitMs = 2;

// Drains typed characters and waits for held buttons to be released, so that neither ends
// the movie at once.
void drain_input() {
    do {
        while (any_key()) {
        }
        platform::sleep_ms(1);
    } while (mouse_any_button());
}

}  // namespace

platform::MediaRectangle movie_destination(int client_width, int client_height,
                                           int source_width, int source_height) {
    if (source_width <= 0 || source_height <= 0) return {0, 0, client_width, client_height};
    const double scale = std::min(static_cast<double>(client_width) / source_width,
                                  static_cast<double>(client_height) / source_height);
    platform::MediaRectangle rectangle;
    rectangle.width = static_cast<int>(source_width * scale);
    rectangle.height = static_cast<int>(source_height * scale);
    rectangle.x = (client_width - rectangle.width) / 2;
    rectangle.y = (client_height - rectangle.height) / 2;
    return rectangle;
}

std::unique_ptr<platform::MediaPlayer> open_movie(const StringValue& file) {
    platform::Window* window = main_window();
    if (!window || !runtime.renderer) return nullptr;
    auto movie = platform::MediaPlayer::open(file.c_str(), platform::MediaKind::kMovie);
    if (!movie) return nullptr;
    int width = 0, height = 0, source_width = 0, source_height = 0;
    platform::window_size(window, &width, &height);
    // A movie plays over the whole window, also where the game's picture is scaled into it;
    // the picture around it keeps its place and its bars.
    const Display& display = runtime.renderer->display();
    if (display.scaled()) {
        display.output_size(&width, &height);
        platform::MediaRectangle area;
        display.picture_area(&area.x, &area.y, &area.width, &area.height);
        movie->set_picture_area(area);
    }
    movie->source_size(&source_width, &source_height);
    movie->set_destination(movie_destination(width, height, source_width, source_height));
    // The game's picture stays around the movie.
    SavedPicture picture;
    if (runtime.renderer->read_presented_picture(&picture)) {
        movie->keep_picture(picture.width, picture.height, picture.bgra);
    }
    movie->keep_back_buffer(width, height);
    // The player's GL calls went around the renderer.
    runtime.renderer->invalidate_gl_state_cache();
    return movie;
}

bool show_movie_frame(platform::MediaPlayer& movie) {
    platform::Window* window = main_window();
    int width = 0, height = 0;
    platform::window_size(window, &width, &height);
    if (runtime.renderer && runtime.renderer->display().scaled()) {
        runtime.renderer->display().output_size(&width, &height);
    }
    if (!movie.frame_ready()) return false;
    const bool rendered = movie.render_frame(width, height);
    if (runtime.renderer) runtime.renderer->invalidate_gl_state_cache();
    if (!rendered) return false;
    platform::gl_swap(window);
    return true;
}

int32_t play_movie(const StringValue& name, int32_t loop) {
    // Before start-up and after shutdown there is no window to show a movie in.
    if (!main_window()) return kNotFound;
    StringValue file;
    if (!resolve_media_file(runtime.files.media_archives[1], name, file, false)) return kNotFound;
    auto movie = open_movie(file);
    if (!movie) return kNotFound;
    const int64_t end = movie->end_ms();

    drain_input();
    if (movie->play()) {
        while (!any_key() && !mouse_any_button()) {
            music_restart_step();
            pump_window_messages();
            show_movie_frame(*movie);
            // Looping: after the seek the position is the start again.
            if (movie->position_ms() >= end) {
                if (loop == 0) break;
                movie->seek_ms(-1);
                movie->play();
            }
            platform::sleep_ms(kMovieWaitMs);
        }
    }
    movie->stop();
    movie->restore_back_buffer();
    movie.reset();
    if (runtime.renderer) runtime.renderer->invalidate_gl_state_cache();
    return 0;
}

}  // namespace kvn
