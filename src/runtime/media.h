// The runtime's side of background music and movies, shared by the frame loop and the waits.
#pragma once

#include <memory>

#include "kvn/value.h"
#include "platform/media.h"

namespace kvn {

// Restarts looping music from its start once its restart time has come.
void music_restart_step();
// The largest rectangle of the source's aspect that fits the client area, centred (integer
// sizes and offsets); the whole client area when the source has no size.
platform::MediaRectangle movie_destination(int client_width, int client_height,
                                           int source_width, int source_height);
// A player for the movie file, fitted into the window over the game's picture as last
// presented; null when the file cannot be played.
std::unique_ptr<platform::MediaPlayer> open_movie(const StringValue& file);
// Draws the movie's newest frame, when one is waiting, and shows it; true when it did.
bool show_movie_frame(platform::MediaPlayer& movie);

}  // namespace kvn
