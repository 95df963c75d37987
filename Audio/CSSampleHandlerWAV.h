#pragma once
// PCM frames of a RIFF/WAVE file: the header is parsed from the first 8192 bytes; frames are
// read straight from the file into the requester's buffer, so any number of users can share
// one handler. Only uncompressed PCM, 8 or 16 bits, mono or stereo, is accepted.
#include "Audio/CSSampleHandler.h"

class CSSampleHandlerWAV : public CSSampleHandler {
public:
    static constexpr uint32_t kHeaderSize = 8192;

    CSSampleHandlerWAV(const SampleSourceInfo& info, uint8_t priority, uint8_t looping);
    ~CSSampleHandlerWAV() override;

    const SampleFormat* ParseHeader() override;
    void PollHeader() override;
    void RequestRead(void* destination, uint32_t firstFrame, uint32_t frameCount, const void* key) override;
    bool IsRequestDone(const void* key) override;
    void FinishRequest(const void* key) override;
    bool IsBusy() const override { return false; }
    bool IsOpen() const override { return m_pReader != nullptr; }
    void PollRequests() override;
    bool IsAtEnd() const override { return false; }
    uint32_t SeekTo(uint32_t frame) override { return frame; }

    // Byte offset of the first sample in the file; 0 until the header is parsed.
    uint32_t GetDataOffset() const { return m_nDataOffset; }

private:
    bool ParseHeaderBytes();
    void RejectHeader();

    uint8_t m_HeaderBuf[kHeaderSize];
    uint32_t m_nDataOffset;
    uint32_t m_nHeaderRequest;
};
