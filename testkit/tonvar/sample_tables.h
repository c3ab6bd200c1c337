// Colour-table-shaped sample data for tests and benchmarks: bodies and the two header forms
// that the container reader's plane reorder locates.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace testkit {

// A smooth body of g^3 entries of ch bytes (first axis slowest), like a real colour table's.
std::vector<uint8_t> SmoothLutBody(uint32_t grid, uint32_t channels, uint32_t seed = 1);

// Fixed-header form: "KV", byte 14 ' ', format '1', grid sizes at 72..74, channel count at 75,
// grid coordinates (evenly spread 0..255), then the body.
std::vector<uint8_t> FixedFormTable(uint8_t grid, uint8_t channels, std::span<const uint8_t> body);

// Tagged form: "KV", '5' at 15 and 16, one directory entry "clut" pointing at a clut chunk
// (three inputs, ink identifiers 1..ch), then the body.
std::vector<uint8_t> TaggedFormTable(uint8_t grid, uint8_t channels, std::span<const uint8_t> body);

}  // namespace testkit
