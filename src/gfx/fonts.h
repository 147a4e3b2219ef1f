// Start-up of the bitmap fonts.
#pragma once

namespace kvn {

// Puts the built-in font into font 0, then "smalfont.png" or else "smalfont.bmp" when one is
// found as a file or in the first media archive, and selects font 0.
void install_default_fonts();

}  // namespace kvn
