// File channels shared with the runtime's shutdown.
#pragma once

namespace kvn {

// Closes every channel; shutdown calls it so written data reaches the files.
void close_all_file_channels();

}  // namespace kvn
