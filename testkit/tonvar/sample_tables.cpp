// Colour-table-shaped sample data: smooth bodies and minimal fixed and tagged headers.
#include "testkit/tonvar/sample_tables.h"

namespace testkit {
namespace {

void PutLe32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void AppendCoordinates(std::vector<uint8_t>& out, uint8_t grid) {
  for (int axis = 0; axis < 3; ++axis) {
    for (uint32_t i = 0; i < grid; ++i) {
      out.push_back(static_cast<uint8_t>(grid > 1 ? i * 255 / (grid - 1u) : 0));
    }
  }
}

}  // namespace

std::vector<uint8_t> SmoothLutBody(uint32_t grid, uint32_t channels, uint32_t seed) {
  std::vector<uint8_t> body;
  body.reserve(size_t{grid} * grid * grid * channels);
  uint32_t noise = seed * 2654435761u + 1;
  const uint32_t span = grid > 1 ? grid - 1 : 1;
  for (uint32_t r = 0; r < grid; ++r) {
    for (uint32_t g = 0; g < grid; ++g) {
      for (uint32_t b = 0; b < grid; ++b) {
        for (uint32_t k = 0; k < channels; ++k) {
          // Each ink follows a different blend of the three axes, with a rare one-step dither.
          const uint32_t a = (r * (k % 3 + 1) + g * ((k + 1) % 3 + 1) + b * ((k + 2) % 3 + 1)) * 255 /
                             (6 * span);
          noise = noise * 1103515245u + 12345u;
          const uint32_t jitter = (noise >> 24) < 8 ? 1u : 0u;
          body.push_back(static_cast<uint8_t>(a + jitter > 255 ? 255 : a + jitter));
        }
      }
    }
  }
  return body;
}

std::vector<uint8_t> FixedFormTable(uint8_t grid, uint8_t channels, std::span<const uint8_t> body) {
  std::vector<uint8_t> out(76, 0);
  out[0] = 'K';
  out[1] = 'V';
  out[14] = ' ';
  out[15] = '1';
  out[72] = out[73] = out[74] = grid;
  out[75] = channels;
  AppendCoordinates(out, grid);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

std::vector<uint8_t> TaggedFormTable(uint8_t grid, uint8_t channels, std::span<const uint8_t> body) {
  constexpr size_t kChunk = 32;  // header 20, count 4, one entry 8
  std::vector<uint8_t> out(kChunk, 0);
  out[0] = 'K';
  out[1] = 'V';
  out[14] = 'T';
  out[15] = '5';
  out[16] = '5';
  PutLe32(out, 20, 1);
  out[24] = 'c';
  out[25] = 'l';
  out[26] = 'u';
  out[27] = 't';
  PutLe32(out, 28, kChunk);
  for (uint8_t b : {uint8_t{'c'}, uint8_t{'l'}, uint8_t{'u'}, uint8_t{'t'}, uint8_t{3}, channels,
                    uint8_t{1}, grid, grid, grid}) {
    out.push_back(b);
  }
  for (uint32_t k = 0; k < channels; ++k) out.push_back(static_cast<uint8_t>(k + 1));
  AppendCoordinates(out, grid);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

}  // namespace testkit
