// MT19937 (Matsumoto and Nishimura) in the count-down form: seeding, regeneration, tempered draws.
#include "tonvar/common/random_generator.h"

namespace tonvar::common {
namespace {

constexpr uint32_t kN = kMtWordCount;
constexpr uint32_t kM = 397;
constexpr uint32_t kUpperMask = 0x80000000u;
constexpr uint32_t kLowerMask = 0x7FFFFFFFu;
constexpr uint32_t kMatrix = 0x9908B0DFu;
constexpr uint32_t kDefaultSeed = 5489;

void InitGenrand(uint32_t seed, MtState* state) {
  uint32_t* w = state->words;
  w[0] = seed;
  for (uint32_t i = 1; i < kN; ++i) w[i] = 1812433253u * (w[i - 1] ^ (w[i - 1] >> 30)) + i;
}

inline uint32_t Twist(uint32_t u, uint32_t v) {
  return (((u & kUpperMask) | (v & kLowerMask)) >> 1) ^ ((v & 1u) ? kMatrix : 0u);
}

}  // namespace

void RandomInitByArray(const uint32_t* key, uint32_t key_length, MtState* state) {
  state->left = 1;
  state->initialised = 0;
  state->next = nullptr;
  uint32_t* w = state->words;
  InitGenrand(19650218u, state);
  uint32_t i = 1;
  uint32_t j = 0;
  const uint32_t rounds = key_length > kN ? key_length : kN;
  for (uint32_t k = rounds; k > 0; --k) {
    w[i] = (w[i] ^ ((w[i - 1] ^ (w[i - 1] >> 30)) * 1664525u)) + (key_length ? key[j] : 0u) + j;
    ++i;
    ++j;
    if (i >= kN) {
      w[0] = w[kN - 1];
      i = 1;
    }
    if (j >= key_length) j = 0;
  }
  for (uint32_t k = kN - 1; k > 0; --k) {
    w[i] = (w[i] ^ ((w[i - 1] ^ (w[i - 1] >> 30)) * 1566083941u)) - i;
    ++i;
    if (i >= kN) {
      w[0] = w[kN - 1];
      i = 1;
    }
  }
  w[0] = 0x80000000u;
  state->left = 1;
  state->initialised = 1;
}

void RandomReload(MtState* state) {
  if (state->initialised == 0) {
    InitGenrand(kDefaultSeed, state);
    state->initialised = 1;
  }
  uint32_t* w = state->words;
  uint32_t i = 0;
  for (; i < kN - kM; ++i) w[i] = w[i + kM] ^ Twist(w[i], w[i + 1]);
  for (; i < kN - 1; ++i) w[i] = w[i + kM - kN] ^ Twist(w[i], w[i + 1]);
  w[kN - 1] = w[kM - 1] ^ Twist(w[kN - 1], w[0]);
  state->left = kN;
  state->next = w;
}

uint32_t RandomGenerate(MtState* state) {
  // An unseeded state (left 0, no next word) regenerates at once, seeding itself with 5489.
  if (state->left <= 1 || state->next == nullptr) {
    RandomReload(state);
  } else {
    --state->left;
  }
  uint32_t y = *state->next++;
  y ^= y >> 11;
  y ^= (y << 7) & 0x9D2C5680u;
  y ^= (y << 15) & 0xEFC60000u;
  y ^= y >> 18;
  return y;
}

}  // namespace tonvar::common
