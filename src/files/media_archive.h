// Media archives: files searched for asset names that do not exist as plain files.
#pragma once

#include "kvn/value.h"

namespace kvn {

// One media archive searched by the asset lookup.
struct MediaArchive {
    // The archive file's name as the program gave it.
    StringValue file_name;
};

}  // namespace kvn
