// Fuzz inputs that patch a good resource, so that an empty corpus reaches deep into a reader:
// two bytes give the length to cut the resource to (0 or more than its size: uncut), then
// triples of a 16-bit offset (taken modulo the size) and the byte to write there.
//
// The unbounded mode of the resource-step targets hands each resource over as Tonvar.dll's
// exports do: with no length, its bytes alone in a heap block of exactly their size, so that a
// read past them is a sanitizer finding. A resource whose own size fields claim more than it
// holds would be the caller's fault there, so such inputs are made consistent first: the
// format's end (terminator, size word, count) is generated from the input's length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "testkit/tonvar/exact_block.h"

namespace testkit {

std::vector<uint8_t> PatchResource(std::vector<uint8_t> resource, const uint8_t* patches, size_t size);

// A text ended by NUL or Ctrl-Z (by NUL alone when `nul_only`): a NUL is appended unless the
// text already has its end.
std::vector<uint8_t> EndText(std::vector<uint8_t> text, bool nul_only = false);
// 16-bit ids ended by FF FF among the 15 words a list reader takes.
std::vector<uint8_t> EndIdList(std::vector<uint8_t> list);
// Groups of map bytes ended by FE, the whole ended by FF: FE FF FE FF ends an open group and
// the map, or (after a closed group) one more empty-coded group and the map.
std::vector<uint8_t> EndInkMap(std::vector<uint8_t> map);
// A dot-curve-family block (dot curves, dot tables): with the signature at bytes 4 to 7, or a
// kind of 3 or 4 at byte 8, the size word at 0 becomes the length; otherwise it is the untagged
// 256-row table, padded to its 768 bytes. Blocks shorter than the 12-byte head are padded.
std::vector<uint8_t> SizeWordFromLength(std::vector<uint8_t> block);
// An "HL<c" block (12-byte header, then records of a 16-bit length that counts the record's
// own three head bytes): the record count at 10 becomes the number of whole records it holds.
std::vector<uint8_t> RecordsFromLength(std::vector<uint8_t> block);
// A screening threshold matrix: with CF F9 2E 47 at bytes 4 to 7 the width and height words at
// 20 and 24, else the width and height bytes at 0 and 1, are set so that the thresholds fill
// the block (a width that is not a power of two becomes 1; the block grows to hold one row).
std::vector<uint8_t> MatrixFromLength(std::vector<uint8_t> block);
// A dither matrix of the multi-level and grey-input engines: the "0123" form gets the value
// count its length holds (0x10002 or 0x20002, the block padded to it); the CF F9 2E 47 form
// gets a width of 2, the largest power-of-two height its samples fill from their offset (an
// offset outside the block moves to byte 132), and the block grows to hold two rows.
std::vector<uint8_t> LaidOutMatrixFromLength(std::vector<uint8_t> block);
// A grey-input dot-curve block read as kind 3: 512 rows of three 16-bit samples and the
// weights after them fit.
std::vector<uint8_t> Kind3CurvesFromLength(std::vector<uint8_t> block);
// A block whose size word at 0 bounds it (rank curve tables): that word becomes the length.
std::vector<uint8_t> LeadingSizeFromLength(std::vector<uint8_t> block);

}  // namespace testkit
