#pragma once
// PCM frames of an Ogg Vorbis file, decoded with libogg and libvorbis inside RequestRead into
// a ring of 16-bit samples. The compressed file is read whole (small files) or through two
// alternating 32 KiB buffers. Decoding is sequential: a request for frame 0 after anything was
// decoded starts again from the beginning; any other request continues where decoding stands.
// The length comes from the "size=" comment (milliseconds), not from the stream.
#include "Audio/CSSampleHandler.h"

#include <ogg/ogg.h>
#include <vorbis/codec.h>

#include <memory>

class CSSampleHandlerOGG : public CSSampleHandler {
public:
    static constexpr uint32_t kBufferSize = 32768;
    static constexpr uint32_t kWholeFileLimit = 65536;  // 131,072 with the priority byte
    static constexpr uint32_t kRingSize = 262144;
    static constexpr uint32_t kFeedSize = 4096;

    CSSampleHandlerOGG(const SampleSourceInfo& info, uint8_t priority, uint8_t looping);
    ~CSSampleHandlerOGG() override;

    const SampleFormat* ParseHeader() override;
    void PollHeader() override;
    void RequestRead(void* destination, uint32_t firstFrame, uint32_t frameCount, const void* key) override;
    bool IsRequestDone(const void*) override { return true; }
    void FinishRequest(const void*) override {}
    bool IsBusy() const override { return m_nRefCount != 0; }
    bool IsOpen() const override { return m_pReader != nullptr; }
    void PollRequests() override {}
    bool IsAtEnd() const override { return m_nWriteOff == m_nReadOff && m_bEndOfStream; }
    uint32_t SeekTo(uint32_t frame) override;

    bool IsWholeFile() const { return m_bWholeFile; }
    uint32_t GetDecodedFrames() const { return m_nDecodedFrames; }

    // One decoder sample as stored: scaled by 32765, truncated, clamped to -32767 ... 32766.
    static int16_t ConvertSample(float value);

private:
    enum class DecodeStop { NeedData, RingFull, EndOfStream, Closed };

    uint32_t ReadSource(uint8_t* destination, uint32_t wanted);
    uint32_t Feed();
    int64_t AwaitRead(uint32_t id);
    // Starts reading bytes at offset into buffer b; false when the reader refuses.
    bool IssueRead(uint32_t b, uint32_t offset, uint32_t bytes);
    bool RunHeaderSequence();
    void RestartDecoding();
    void ClearCodec();
    void ZeroCodecState();
    void Close();
    void Drain(uint8_t*& destination, uint64_t& wanted);
    bool EmitPcm();
    DecodeStop Decode();
    // RequestRead's decoding, without the failure marks.
    void Deliver(void* destination, uint32_t firstFrame, uint32_t frameCount);

    std::unique_ptr<uint8_t[]> m_pSavedHead;
    uint32_t m_nSavedHeadSize;
    uint32_t m_nBufBytes[2];
    std::unique_ptr<uint8_t[]> m_pBuf[2];
    uint32_t m_nBufRequest[2];
    bool m_bWholeFile;
    uint32_t m_nReadPos;
    uint32_t m_nCurBuf;
    uint32_t m_nNextFileOffset;
    bool m_bSkipOutput;
    bool m_bCodecReady;
    uint32_t m_nDecodedFrames;

    ogg_sync_state m_SyncState;
    ogg_stream_state m_StreamState;
    ogg_page m_Page;
    ogg_packet m_Packet;
    vorbis_info m_VorbisInfo;
    vorbis_comment m_Comment;
    vorbis_dsp_state m_DspState;
    vorbis_block m_Block;
    // A submitted page whose packets are not all decoded yet (decoding pauses when the ring
    // is full), and whether that page ends the stream.
    bool m_bPagePending;
    bool m_bPageEos;
    // A read of the compressed file failed since decoding last started: the data ends there.
    bool m_bReadFailed;

    uint8_t m_Ring[kRingSize];
    int32_t m_nMaxBlockFrames;
    uint32_t m_nWriteOff;
    uint32_t m_nReadOff;
    int32_t m_bEndOfStream;
};
