// The shell sort of the code builder: count and symbol in one key (count in the top half),
// descending by count, ties left exactly where this procedure leaves them. The reference is
// the plain insertion form; the fast form inserts four neighbouring keys side by side.
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "tonvar/container/unpack_context.h"

namespace tonvar::container {
namespace {

constexpr uint32_t kCountMask = 0xFFFF0000u;

// One pass of the given gap over keys[from..n): insertion by shifting moves entries exactly as
// the swapping form does.
void InsertionPass(uint32_t* keys, uint32_t n, uint32_t gap, uint32_t from) {
  for (uint32_t i = from; i < n; ++i) {
    const uint32_t key = keys[i];
    const uint32_t weight = key >> 16;
    int32_t j = static_cast<int32_t>(i - gap);
    while (j >= 0 && (keys[j] >> 16) < weight) {
      keys[j + gap] = keys[j];
      j -= static_cast<int32_t>(gap);
    }
    keys[j + gap] = key;
  }
}

#if defined(__SSE2__)
inline __m128i Select(__m128i mask, __m128i if_set, __m128i otherwise) {
  return _mm_or_si128(_mm_and_si128(mask, if_set), _mm_andnot_si128(mask, otherwise));
}

// Loads and stores of a row of `lanes` keys (4, or 2 in the low half).
template <uint32_t lanes>
inline __m128i LoadRow(const uint32_t* at) {
  if constexpr (lanes == 4) return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(at));
}
template <uint32_t lanes>
inline void StoreRow(uint32_t* at, __m128i row) {
  if constexpr (lanes == 4) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), row);
  } else {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(at), row);
  }
}

// One pass of a gap of at least `lanes` (4, or 2): that many neighbouring keys lie in as many
// different classes, so they are inserted side by side, each lane walking its own class one
// row of `gap` at a time; only whether any lane still moves is a branch. Keys stay below 2^31
// (checked by the caller), so the signed comparison orders them; unused lanes hold zeros and
// never move. "Lighter" is a key below a lane's count floor.
template <uint32_t lanes>
void LanePass(uint32_t* keys, uint32_t n, uint32_t gap) {
  const __m128i count_mask = _mm_set1_epi32(static_cast<int32_t>(kCountMask));
  uint32_t i = gap;
  for (; i + lanes <= n; i += lanes) {
    const __m128i key = LoadRow<lanes>(keys + i);
    const __m128i floor = _mm_and_si128(key, count_mask);
    __m128i row = LoadRow<lanes>(keys + i - gap);
    __m128i active = _mm_cmplt_epi32(row, floor);
    if (_mm_movemask_epi8(active) == 0) continue;
    StoreRow<lanes>(keys + i, Select(active, row, key));
    uint32_t at = i - gap;  // the row whose lighter entries (active lanes) just moved down
    for (;;) {
      if (at < gap) [[unlikely]] {
        // Near the start some lanes' classes reach a row further than others: the lanes
        // still moving finish one by one.
        StoreRow<lanes>(keys + at, Select(active, key, row));
        alignas(16) uint32_t lane_keys[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lane_keys), key);
        const int moving = _mm_movemask_epi8(active);
        for (uint32_t lane = 0; lane < lanes; ++lane) {
          if ((moving >> (4 * lane) & 1) == 0) continue;
          const uint32_t k = lane_keys[lane];
          uint32_t p = at + lane;
          while (p >= gap && keys[p - gap] < (k & kCountMask)) {
            keys[p] = keys[p - gap];
            p -= gap;
          }
          keys[p] = k;
        }
        break;
      }
      const __m128i next = LoadRow<lanes>(keys + at - gap);
      const __m128i next_active = _mm_and_si128(active, _mm_cmplt_epi32(next, floor));
      // Lanes still moving take the next row's entry; lanes stopping here take their key.
      const __m128i stop = _mm_andnot_si128(next_active, active);
      StoreRow<lanes>(keys + at, Select(next_active, next, Select(stop, key, row)));
      if (_mm_movemask_epi8(next_active) == 0) break;
      active = next_active;
      row = next;
      at -= gap;
    }
  }
  InsertionPass(keys, n, gap, i);
}
#endif

}  // namespace

void ShellSortByCountReference(uint32_t* keys, uint32_t n) {
  for (uint32_t gap = n / 2; gap > 0; gap /= 2) InsertionPass(keys, n, gap, gap);
}

void ShellSortByCount(uint32_t* keys, uint32_t n) {
#if defined(__SSE2__)
  uint32_t all = 0;
  for (uint32_t i = 0; i < n; ++i) all |= keys[i];
  if (all < 0x80000000u) {
    for (uint32_t gap = n / 2; gap > 0; gap /= 2) {
      if (gap >= 4) {
        LanePass<4>(keys, n, gap);
      } else if (gap >= 2) {
        LanePass<2>(keys, n, gap);
      } else {
        InsertionPass(keys, n, gap, gap);
      }
    }
    return;
  }
#endif
  ShellSortByCountReference(keys, n);
}

}  // namespace tonvar::container
