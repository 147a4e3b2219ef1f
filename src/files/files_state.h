// The files subsystem's state: the two media archives, the file channels, the configuration
// store and the line file. The runtime owns it; the commands reach it through attach_files.
#pragma once

#include "files/config_store.h"
#include "files/file_channels.h"
#include "files/line_file.h"
#include "files/media_archive.h"

namespace kvn {

struct FilesState {
    // The first and second archive searched for asset names; unnamed until start-up.
    MediaArchive media_archives[2];
    FileChannel channels[kFileChannelCount];
    ConfigStore config_store;
    LineFile line_file;
};

// The attached files state; null when none is. Set only through attach_files.
extern FilesState* active_files;

// Makes the state the one the file commands use; null detaches it (the exit write-back then
// finds nothing to write). The runtime attaches its own for the whole process; programs
// without the runtime (tests, fuzz targets, tools) attach one of their own.
void attach_files(FilesState* state);

// The attached files state, which every file command uses; a program that attached none ends
// with error 3 (no file service) at its first file command.
FilesState& files_state();

}  // namespace kvn
