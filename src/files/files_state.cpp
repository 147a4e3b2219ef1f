// The attachment of the files state.
#include "files/files_state.h"

#include "kvn/base.h"

namespace kvn {

FilesState* active_files = nullptr;

void attach_files(FilesState* state) {
    active_files = state;
}

FilesState& files_state() {
    if (!active_files) fatal_error(kErrorNoSuchFile);
    return *active_files;
}

}  // namespace kvn
