// A Windows raster font file (".FNT", version 2) of one fixed-pitch face, for tests that need a
// face that is not TrueType where the system has none: installed privately with
// AddFontResourceExA, it enumerates as a raster font. Platform-neutral bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testkit::watermark {

// 8 x 16 pixel cells for the characters 32-126, each a framed box (space blank); the face name
// at most 31 characters.
std::vector<uint8_t> BuildRasterFont(const std::string& face);

}  // namespace testkit::watermark
