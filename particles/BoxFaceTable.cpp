#include "particles/BoxFaceTable.h"

namespace {

bool Enabled(int32_t mask, int32_t face) { return (mask & (1 << face)) != 0; }

// trunc(part / total x 32767); 0 for a share that is not a number.
int16_t Weight(float part, float total) {
    const float share = part / total * 32767.0f;
    if (!(share >= 0.0f)) return 0;
    if (share >= 32767.0f) return 0x7fff;
    return static_cast<int16_t>(share);
}

}  // namespace

void BuildFlatBoxFaceTable(int16_t table[kBoxFaceCount], int32_t p, int32_t q, const int32_t others[4],
                           const float lengths[4], int32_t mask) {
    if (Enabled(mask, p) && Enabled(mask, q)) {
        table[p] = 0x3fff;
        table[q] = 0x4000;
    } else if (Enabled(mask, p)) {
        table[p] = 0x7fff;
    } else if (Enabled(mask, q)) {
        table[q] = 0x7fff;
    } else {
        float sum = 0.0f;
        for (int i = 0; i < 4; ++i)
            if (Enabled(mask, others[i])) sum += lengths[i];
        if (sum == 0.0f) return;
        for (int i = 0; i < 4; ++i)
            if (Enabled(mask, others[i])) table[others[i]] = Weight(lengths[i], sum);
    }
}

void BoxFaceWeights(int16_t table[kBoxFaceCount], float x, float y, float z, int32_t mask) {
    for (int i = 0; i < kBoxFaceCount; ++i) table[i] = 0;
    if (z <= 0.0f) {
        const int32_t others[4] = {2, 3, 4, 5};
        const float lengths[4] = {x, y, x, y};
        BuildFlatBoxFaceTable(table, 0, 1, others, lengths, mask);
    } else if (x <= 0.0f) {
        const int32_t others[4] = {0, 1, 2, 4};
        const float lengths[4] = {y, y, z, z};
        BuildFlatBoxFaceTable(table, 3, 5, others, lengths, mask);
    } else if (y <= 0.0f) {
        const int32_t others[4] = {0, 1, 3, 5};
        const float lengths[4] = {x, x, z, z};
        BuildFlatBoxFaceTable(table, 2, 4, others, lengths, mask);
    } else {
        const float a01 = x * y, a24 = x * z, a35 = y * z;
        const float areas[kBoxFaceCount] = {a01, a01, a24, a35, a24, a35};
        if (mask == 63) {
            const float total = 2.0f * a01 + 2.0f * a24 + 2.0f * a35;
            for (int i = 0; i < kBoxFaceCount; ++i) table[i] = Weight(areas[i], total);
        } else {
            float total = 0.0f;
            for (int i = 0; i < kBoxFaceCount; ++i)
                if (Enabled(mask, i)) total += areas[i];
            if (total > 0.0f) {
                for (int i = 0; i < kBoxFaceCount; ++i)
                    if (Enabled(mask, i)) table[i] = Weight(areas[i], total);
            }
        }
    }
}

void BuildBoxFaceTable(int16_t table[kBoxFaceCount], float x, float y, float z, int32_t mask) {
    BoxFaceWeights(table, x, y, z, mask);
    int32_t sum = 0;
    for (int i = 0; i < kBoxFaceCount; ++i) {
        sum += table[i];
        table[i] = static_cast<int16_t>(sum > 0x7fff ? 0x7fff : sum);
    }
    table[kBoxFaceCount - 1] = 0x7fff;
}

bool BoxHasUsableFace(float x, float y, float z, int32_t mask) {
    int16_t weights[kBoxFaceCount];
    BoxFaceWeights(weights, x, y, z, mask);
    for (int16_t weight : weights)
        if (weight > 0) return true;
    return false;
}

void BuildEmiterFaceTable(int16_t table[kBoxFaceCount], float x, float y, float z, int32_t mask) {
    BuildBoxFaceTable(table, x, y, z, mask);
    if (!BoxHasUsableFace(x, y, z, mask)) table[kBoxFaceCount - 1] = 0;
}
