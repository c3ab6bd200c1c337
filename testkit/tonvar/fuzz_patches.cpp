// Patched resources and consistent unbounded resources for the fuzz targets.
#include "testkit/tonvar/fuzz_patches.h"

#include <algorithm>
#include <cstring>

#include "tonvar/common/dot_curve_blocks.h"

namespace testkit {
namespace {

void PutDword(std::vector<uint8_t>* block, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*block)[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<uint8_t> PatchResource(std::vector<uint8_t> resource, const uint8_t* patches, size_t size) {
  if (size < 2) return resource;
  const size_t cut = patches[0] | (patches[1] << 8);
  if (cut != 0 && cut < resource.size()) resource.resize(cut);
  for (size_t at = 2; at + 3 <= size && !resource.empty(); at += 3) {
    resource[(patches[at] | (patches[at + 1] << 8)) % resource.size()] = patches[at + 2];
  }
  return resource;
}

std::vector<uint8_t> EndText(std::vector<uint8_t> text, bool nul_only) {
  auto ends = [nul_only](uint8_t b) { return b == 0 || (!nul_only && b == 0x1A); };
  if (std::find_if(text.begin(), text.end(), ends) == text.end()) {
    text.push_back(0);
  }
  return text;
}

std::vector<uint8_t> EndIdList(std::vector<uint8_t> list) {
  constexpr size_t kWordsRead = 15;
  if (list.size() % 2 != 0) list.push_back(0);
  for (size_t w = 0; w < kWordsRead && 2 * w < list.size(); ++w) {
    if (list[2 * w] == 0xFF && list[2 * w + 1] == 0xFF) return list;
  }
  if (list.size() < 2 * kWordsRead) list.insert(list.end(), {0xFF, 0xFF});
  return list;
}

std::vector<uint8_t> EndInkMap(std::vector<uint8_t> map) {
  map.insert(map.end(), {0xFE, 0xFF, 0xFE, 0xFF});
  return map;
}

std::vector<uint8_t> SizeWordFromLength(std::vector<uint8_t> block) {
  constexpr size_t kUntaggedBytes = 256 * 3;
  if (block.size() < 12) block.resize(12);
  const uint32_t kind = block[8] | (block[9] << 8) | (block[10] << 16) | (uint32_t{block[11]} << 24);
  const bool tagged = std::memcmp(block.data() + 4, tonvar::common::kDotCurveSignature, 4) == 0;
  if (tagged || kind == 3 || kind == 4) {
    PutDword(&block, 0, static_cast<uint32_t>(block.size()));
  } else if (block.size() < kUntaggedBytes) {
    block.resize(kUntaggedBytes);
  }
  return block;
}

std::vector<uint8_t> RecordsFromLength(std::vector<uint8_t> block) {
  constexpr size_t kHeader = 12;
  constexpr size_t kRecordHead = 3;
  if (block.size() < kHeader) block.resize(kHeader);
  uint16_t records = 0;
  for (size_t at = kHeader; at + kRecordHead <= block.size() && records < 0x7FFF; ++records) {
    const size_t length = block[at] | (block[at + 1] << 8);
    if (length < kRecordHead || length > 0x7FFF || length > block.size() - at) break;
    at += length;
  }
  block[10] = static_cast<uint8_t>(records);
  block[11] = static_cast<uint8_t>(records >> 8);
  return block;
}

std::vector<uint8_t> MatrixFromLength(std::vector<uint8_t> block) {
  static constexpr uint8_t kHeaderForm[4] = {0xCF, 0xF9, 0x2E, 0x47};
  auto power_of_two = [](uint64_t v) { return v != 0 && (v & (v - 1)) == 0; };
  if (block.size() < 8) block.resize(8);
  if (std::memcmp(block.data() + 4, kHeaderForm, 4) == 0) {
    if (block.size() < 32) block.resize(32);
    uint64_t width = block[20] | (block[21] << 8);
    if (!power_of_two(width)) width = 1;
    if (block.size() < 32 + 2 * width) block.resize(32 + 2 * width);
    const uint64_t height = (block.size() - 32) / (2 * width);
    PutDword(&block, 20, static_cast<uint32_t>(width));
    PutDword(&block, 24, static_cast<uint32_t>(height));
    return block;
  }
  uint64_t width = block[0] == 255 ? 256 : block[0];
  if (!power_of_two(width)) width = 1;
  if (block.size() < 4 + 2 * width) block.resize(4 + 2 * width);
  const uint64_t height = std::min<uint64_t>((block.size() - 4) / (2 * width), 256);
  block[0] = static_cast<uint8_t>(width == 256 ? 255 : width);
  block[1] = static_cast<uint8_t>(height == 256 ? 255 : height);
  return block;
}

std::vector<uint8_t> LaidOutMatrixFromLength(std::vector<uint8_t> block) {
  static constexpr uint8_t kLaidOut[4] = {0xCF, 0xF9, 0x2E, 0x47};
  constexpr size_t kPlainHeader = 16;
  constexpr uint32_t kSmall = 0x10002, kLarge = 0x20002;
  constexpr size_t kPhasesEnd = 132;
  if (block.size() >= 4 && std::memcmp(block.data(), "0123", 4) == 0) {
    const uint32_t count = block.size() >= kPlainHeader + 2 * size_t{kLarge} ? kLarge : kSmall;
    if (block.size() < kPlainHeader + 2 * size_t{count}) block.resize(kPlainHeader + 2 * size_t{count});
    PutDword(&block, 4, count);
    return block;
  }
  if (block.size() < 8) block.resize(8);  // the forms are told apart by bytes 4 to 7
  if (std::memcmp(block.data() + 4, kLaidOut, 4) != 0) return block;
  if (block.size() < kPhasesEnd) block.resize(kPhasesEnd);
  size_t offset = static_cast<size_t>(static_cast<int16_t>(block[10] | (block[11] << 8)));
  if (static_cast<int16_t>(block[10] | (block[11] << 8)) < 0 || offset > block.size()) offset = kPhasesEnd;
  constexpr size_t kWidth = 2;
  if (block.size() < offset + 2 * (kWidth * 2 + 2)) block.resize(offset + 2 * (kWidth * 2 + 2));
  size_t height = 2;
  while (2 * (kWidth * height * 2 + 2) <= block.size() - offset && height < 0x4000) height *= 2;
  block[10] = static_cast<uint8_t>(offset), block[11] = static_cast<uint8_t>(offset >> 8);
  block[12] = kWidth, block[13] = 0;
  block[14] = static_cast<uint8_t>(height), block[15] = static_cast<uint8_t>(height >> 8);
  return block;
}

std::vector<uint8_t> Kind3CurvesFromLength(std::vector<uint8_t> block) {
  constexpr size_t kKind3Bytes = 32 + 512 * 3 * 2 + 4 + 6;
  if (block.size() < kKind3Bytes) block.resize(kKind3Bytes);
  PutDword(&block, 8, 3);
  return block;
}

std::vector<uint8_t> LeadingSizeFromLength(std::vector<uint8_t> block) {
  if (block.size() < 4) block.resize(4);
  PutDword(&block, 0, static_cast<uint32_t>(block.size()));
  return block;
}

}  // namespace testkit
