// The runtime's side of background music and movies, shared by the frame loop and the waits.
#pragma once

#include "platform/media.h"

namespace kvn {

// Restarts looping music from its start once its restart time has come.
void music_restart_step();
// The largest rectangle of the source's aspect that fits the client area, centred (integer
// sizes and offsets); the whole client area when the source has no size.
platform::MediaRectangle movie_destination(int client_width, int client_height,
                                           int source_width, int source_height);

}  // namespace kvn
