#pragma once
// Parameter rows read in pairs: base row 2p and its variation 2p + 1, one random word
// per pair and one no-variation flag per pair. A varied value is
// base + UnpackKeyValue (word) x variation, formed in double and stored as float.
#include <cstdint>

class CEmiter;
class CEmiterParams;
class CParticleParams;

// Pair `pair` of an emitter block at its key `key`.
float EmiterPairValue(const CEmiterParams& params, int32_t pair, int32_t key, uint16_t word);
// Whether every pair of [first, first + count) reads its base alone.
bool EmiterPairsFixed(const CEmiterParams& params, int32_t first, int32_t count);
// The pair of a particle block whose base row is `row`, at age t of a life of n steps.
float ParticlePairValue(const CParticleParams& params, int32_t row, int32_t t, int32_t n, uint16_t word);

// `count` words from the emitter's first stream: a draw each when independent, else
// one draw copied into all.
void DrawWords(CEmiter& emitter, uint16_t* words, int32_t count, bool independent);
// DrawWords for the pairs [first, first + count), except that no draw is made (all
// words 0) when every one of them reads its base alone.
void DrawPairWords(CEmiter& emitter, const CEmiterParams& params, uint16_t* words, int32_t first, int32_t count,
                   bool independent);
