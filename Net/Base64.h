#pragma once
// Base64 with the standard alphabet and "=" as fill. Decoding ignores the top
// bit of every character and skips "=" wherever it stands.
#include <cstdint>
#include <string>

namespace Net {

class Base64 {
public:
    Base64();
    virtual ~Base64();

    // The number of bytes written, 0 for a null or empty text, a null buffer or
    // a character outside the alphabet (blanks and line ends included). The
    // buffer must hold the text's length plus one byte; it is zeroed first.
    virtual int Decode(const char* text, unsigned char* output);
    // Replaces the output text; a null data pointer gives an empty text.
    virtual std::string& Encode(std::string& output, const unsigned char* data, int length);

    // The encoder's reader of up to 8 bits at the read position; the last group
    // is filled with zero bits on the right, and the call after it gives 0 bits.
    uint32_t ReadBits(int wanted, int& given, int& position);
    // The decoder's writer: a value of `bits` bits, whole bytes out as they fill.
    void WriteBits(uint32_t value, int bits, unsigned char* output, int& position);

private:
    // The bit state both directions use; each operation sets its own.
    int input_length_;
    int bit_count_;
    uint32_t accumulator_;  // the newest bits lowest
    const unsigned char* input_;
};

}  // namespace Net
