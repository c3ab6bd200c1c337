// Resource container reader: context, unwrapping, adaptive-Huffman LZ77 decoder, plane reorder.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tonvar/common/memory.h"
#include "tonvar/common/resource_bytes.h"
#include "tonvar/interface/status.h"

namespace tonvar::container {

inline constexpr uint32_t kUnpackSymbolCount = 392;    // 256 literals, abort, 135 copies
inline constexpr uint32_t kUnpackAbortSymbol = 256;
inline constexpr uint32_t kUnpackFirstCopySymbol = 257;
inline constexpr uint32_t kUnpackLookupBits = 12;      // longest code, and the decode-table index width
inline constexpr uint32_t kUnpackWindowBytes = 16384;  // farthest reach of a copy is one less
inline constexpr uint32_t kUnpackRebuildTotal = 4096;  // running total at which the code is rebuilt
inline constexpr uint32_t kUnpackStartTotal = 3000;    // running total after the initial code
inline constexpr uint8_t kContainerSignature[7] = {0x7A, 0xCF, 0x86, 0x5C, 0x7D, 0x90, 0x3C};
inline constexpr uint8_t kContainerPlain = 0xB9;        // eighth byte: ordinary compressed resource
inline constexpr uint8_t kContainerPlaneOrdered = 0xBA; // eighth byte: colour table stored plane by plane
inline constexpr size_t kContainerHeaderBytes = 16;     // signature, stored length L, expanded length E

// Every code of a stream costs at least one bit and emits at most 257 bytes (a copy of the
// longest length class): the stored length bounds the expanded length by 8 * 257 per byte.
inline constexpr uint64_t kUnpackMaxBytesPerCode = 257;
// The largest resource the engines accept: a four-input colour table of 64 points per axis
// and 16 channels, 64^4 * 16 bytes = 256 MiB. A container claiming more is damaged.
inline constexpr uint32_t kMaxExpandedLength = 64u * 64u * 64u * 64u * 16u;
static_assert(kMaxExpandedLength == 256u << 20);

inline constexpr uint32_t kDecodeSymbolMask = 0x0FFF;
inline constexpr uint32_t kDecodeLengthShift = 12;
inline constexpr uint32_t kFastBitsMask = 0x3F;
inline constexpr uint32_t kFastLengthShift = 8;
inline constexpr uint32_t kFastSymbolShift = 16;

struct UnpackTreeNode {
  uint16_t first;   // child: below the symbol count a position in the sorted order, else node + count
  uint16_t second;
  uint32_t weight;
};

// One per SetResource call. The decoder resets every table at the start of a decoding; history
// for copies is read back from the output itself (bytes before its start read as the zero window).
struct UnpackContext {
  // For every 12-bit prefix: the symbol (low 12 bits) and its code length (top 4 bits), so a
  // single look-up gives both.
  uint16_t decode_table[1u << kUnpackLookupBits];
  // The same code for the fast loop: per prefix the bits the whole symbol takes (code and a
  // copy's extra bits, low 6 bits), the code length (bits 8..11) and the symbol (from bit 16).
  uint32_t fast_table[1u << kUnpackLookupBits];
  uint8_t code_length[kUnpackSymbolCount];
  uint32_t count[kUnpackSymbolCount];
  uint32_t total;
  uint16_t order[kUnpackSymbolCount];                // symbols sorted by descending count
  UnpackTreeNode nodes[kUnpackSymbolCount - 1];
  common::MemHandle buffer_handle;  // expansion buffer, owned; null while none
  uint8_t* buffer;
  uint32_t capacity;        // bytes in the expansion buffer
  common::MemHandle self;           // the block holding this context
};

EngineStatus NewUnpackContext(UnpackContext** context);
EngineStatus DeleteUnpackContext(UnpackContext* context);

// Hands back the bytes an engine step reads: a plain resource unchanged, a container expanded
// into the context's buffer (size = expanded length). A resource of known size bounds the reads.
// True when the resource begins with the container signature and a known eighth byte; reads no
// byte past the first that differs.
bool HasContainerSignature(common::ResourceBytes resource);
EngineStatus UnwrapResource(UnpackContext* context, common::ResourceBytes resource, common::ResourceBytes* unwrapped);

// The reference decodes symbol by symbol and sorts the counts by the plain shell sort; the fast
// path (whole-word refills, block copies, a branch-free sort) gives the same bytes and the same
// status. Tests force each.
enum class DecodePath { kFast, kReference };

// Expands input (its first four bytes are the byte count, the bit stream follows) into output.
// Returns the bytes produced, 0 for a damaged stream, input_bound for a count of 0.
uint32_t DecompressStream(const uint8_t* input, uint32_t input_bound, uint8_t* output,
                          uint32_t output_capacity, UnpackContext* context,
                          DecodePath path = DecodePath::kFast);

// Builds the canonical code from the counts, then resets every count to 1 and the total to n.
void RebuildHuffmanCode(uint32_t symbol_count, UnpackContext* context,
                        DecodePath path = DecodePath::kFast);

// Sorts keys (count << 16 | symbol) by descending count the shell sort's way, gaps n/2, n/4, ..
// 1, ties left where its insertions put them. The fast form gives the reference's order.
void ShellSortByCountReference(uint32_t* keys, uint32_t n);
void ShellSortByCount(uint32_t* keys, uint32_t n);

// Transposes a colour table's body from planes (all of channel 0, then channel 1, ...) to entries.
EngineStatus ReorderLutPlanes(uint8_t* data, int64_t length);

}  // namespace tonvar::container
