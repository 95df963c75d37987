#pragma once
// The cumulative face weights of a box emitter, out of 32767. Faces 0 (top, z = Z) and
// 1 (bottom) lie in x-y, 2 and 4 in x-z, 3 and 5 in y-z; bit i of the mask lets face i
// emit. A particle takes the first face whose running sum reaches its draw.
#include <cstdint>

constexpr int kBoxFaceCount = 6;

// Weights by face area (all six when the mask is 63, else the enabled ones), a flat
// box (one size 0 or less) by BuildFlatBoxFaceTable, then running sums with the last
// entry forced to 0x7fff.
void BuildBoxFaceTable(int16_t table[kBoxFaceCount], float x, float y, float z, int32_t mask);

// The weights of the faces before the running sums: 0 for a disabled face.
void BoxFaceWeights(int16_t table[kBoxFaceCount], float x, float y, float z, int32_t mask);

// Whether some enabled face has a weight. Without one the forced last entry of the
// table would still pick face 5, enabled or not.
bool BoxHasUsableFace(float x, float y, float z, int32_t mask);

// The table an emitter keeps: BuildBoxFaceTable, but with its last entry 0 when no
// face is usable, which is what makes emission refuse the box.
void BuildEmiterFaceTable(int16_t table[kBoxFaceCount], float x, float y, float z, int32_t mask);

// The weights of a flat box whose two faces p and q cover it: 0x3fff and 0x4000 when
// both are enabled, 0x7fff for the one enabled; with neither, the enabled faces among
// the four `others` by the lengths of their edges.
void BuildFlatBoxFaceTable(int16_t table[kBoxFaceCount], int32_t p, int32_t q, const int32_t others[4],
                           const float lengths[4], int32_t mask);
