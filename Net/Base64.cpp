#include "Net/Base64.h"

#include <cstring>

namespace Net {

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char kFill = '=';
const uint32_t kMasks[9] = {0x00, 0x01, 0x03, 0x07, 0x0F, 0x1F, 0x3F, 0x7F, 0xFF};

}  // namespace

// Zeroed only so that no field is ever read unset; each operation sets its own state.
Base64::Base64() : input_length_(0), bit_count_(0), accumulator_(0), input_(nullptr) {}

Base64::~Base64() = default;

std::string& Base64::Encode(std::string& output, const unsigned char* data, int length) {
    std::string result;
    if (data == nullptr) {
        output.clear();
        return output;
    }
    input_ = data;
    input_length_ = length;
    bit_count_ = 0;
    int position = 0;
    int given = 0;
    uint32_t value = ReadBits(6, given, position);
    while (given > 0) {
        result += kAlphabet[value];
        value = ReadBits(6, given, position);
    }
    while (result.size() % 4 != 0) result += kFill;
    output = result;
    return output;
}

uint32_t Base64::ReadBits(int wanted, int& given, int& position) {
    while (bit_count_ < wanted && position < input_length_) {
        accumulator_ = (accumulator_ << 8) | input_[position];
        ++position;
        bit_count_ += 8;
    }
    uint32_t value;
    if (bit_count_ < wanted) {
        given = bit_count_;
        value = accumulator_ << (wanted - bit_count_);
        bit_count_ = 0;
    } else {
        given = wanted;
        bit_count_ -= wanted;
        value = accumulator_ >> bit_count_;
    }
    return value & kMasks[wanted];
}

int Base64::Decode(const char* text, unsigned char* output) {
    if (output == nullptr || text == nullptr || *text == '\0') return 0;
    int32_t reverse[256];
    for (int32_t& entry : reverse) entry = -2;
    for (int i = 0; i < 64; ++i) {
        const unsigned char c = static_cast<unsigned char>(kAlphabet[i]);
        reverse[c] = i;
        reverse[c | 0x80] = i;
    }
    reverse[static_cast<unsigned char>(kFill)] = -1;
    reverse[static_cast<unsigned char>(kFill) | 0x80] = -1;

    const size_t length = std::strlen(text);
    std::memset(output, 0, length + 1);
    int position = 0;
    bit_count_ = 0;
    for (size_t i = 0; i < length; ++i) {
        const int32_t e = reverse[static_cast<unsigned char>(text[i]) & 0x7F];
        if (e < -1) return 0;
        if (e == -1) continue;
        WriteBits(static_cast<uint32_t>(e) & 0x3F, 6, output, position);
    }
    return position;
}

void Base64::WriteBits(uint32_t value, int bits, unsigned char* output, int& position) {
    accumulator_ = (accumulator_ << bits) | value;
    bit_count_ += bits;
    while (bit_count_ > 7) {
        output[position] = static_cast<unsigned char>((accumulator_ >> (bit_count_ - 8)) & 0xFF);
        ++position;
        bit_count_ -= 8;
    }
}

}  // namespace Net
