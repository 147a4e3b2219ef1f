// The attachment of the files state.
#include "files/files_state.h"

namespace kvn {

FilesState* active_files = nullptr;

void attach_files(FilesState* state) {
    active_files = state;
}

}  // namespace kvn
