#include "Audio/CSSampleHandlerOGG.h"

#include "Audio/AsyncFileReader.h"
#include "Threading/Thread.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr float kReaderPollSeconds = 0.005f;
// A read the reader never reports (a device that does not answer) is given up after this
// long; failed reads are reported long before. Real time, so a test's stopped clock, under
// which the sleeps only yield, does not cut the wait short.
constexpr std::chrono::seconds kReadPatience(10);

}  // namespace

CSSampleHandlerOGG::CSSampleHandlerOGG(const SampleSourceInfo& info, uint8_t priority, uint8_t looping)
    : CSSampleHandler(info, priority, looping),
      m_nSavedHeadSize(0),
      m_nBufBytes{0, 0},
      m_nBufRequest{0, 0},
      m_bWholeFile(false),
      m_nReadPos(0),
      m_nCurBuf(0),
      m_nNextFileOffset(0),
      m_bSkipOutput(false),
      m_bCodecReady(false),
      m_nDecodedFrames(0),
      m_bPagePending(false),
      m_bPageEos(false),
      m_bReadFailed(false),
      m_nMaxBlockFrames(0),
      m_nWriteOff(0),
      m_nReadOff(0),
      m_bEndOfStream(0) {
    ZeroCodecState();
    std::memset(m_Ring, 0, sizeof(m_Ring));

    m_pReader = new AsyncFileReader(info);
    if (!m_pReader->IsOpen()) {
        Close();
        return;
    }
    const uint32_t fileSize = m_pReader->GetFileSize();
    const uint32_t wholeLimit = priority ? 2 * kWholeFileLimit : kWholeFileLimit;
    if (fileSize <= wholeLimit) {
        m_bWholeFile = true;
        m_pBuf[0].reset(new uint8_t[fileSize ? fileSize : 1]);
        m_nBufBytes[0] = fileSize;
        if (!IssueRead(0, 0, fileSize)) Close();
        return;
    }
    for (uint32_t b = 0; b < 2; ++b) {
        m_pBuf[b].reset(new uint8_t[kBufferSize]);
        m_nBufBytes[b] = kBufferSize;
        if (!IssueRead(b, b * kBufferSize, kBufferSize)) {
            Close();
            return;
        }
    }
    m_nNextFileOffset = 2 * kBufferSize;
}

CSSampleHandlerOGG::~CSSampleHandlerOGG() { Close(); }

int16_t CSSampleHandlerOGG::ConvertSample(float value) {
    const float scaled = value * 32765.0f;
    if (scaled >= 32766.0f) return 32766;
    if (scaled <= -32767.0f) return -32767;
    if (scaled != scaled) return 0;  // NaN from a broken stream
    return static_cast<int16_t>(scaled);
}

int64_t CSSampleHandlerOGG::AwaitRead(uint32_t id) {
    const auto deadline = std::chrono::steady_clock::now() + kReadPatience;
    for (;;) {
        const int64_t bytes = m_pReader->Poll(id);
        if (bytes >= 0) return bytes;
        if (std::chrono::steady_clock::now() > deadline) return -1;
        SleepSeconds(kReaderPollSeconds);
    }
}

bool CSSampleHandlerOGG::IssueRead(uint32_t b, uint32_t offset, uint32_t bytes) {
    const int64_t id = m_pReader->Read(m_pBuf[b].get(), offset, bytes);
    if (id < 0) return false;
    m_nBufRequest[b] = static_cast<uint32_t>(id);
    return true;
}

uint32_t CSSampleHandlerOGG::ReadSource(uint8_t* destination, uint32_t wanted) {
    if (m_bWholeFile) {
        const uint32_t n = std::min(m_nBufBytes[0] - m_nReadPos, wanted);
        std::memcpy(destination, m_pBuf[0].get() + m_nReadPos, n);
        m_nReadPos += n;
        return n;
    }
    if (m_nBufBytes[m_nCurBuf] == 0) return 0;  // the end of the file
    uint32_t n = std::min(m_nBufBytes[m_nCurBuf] - m_nReadPos, wanted);
    if (n == 0) {
        // Switch to the other buffer, whose read was issued while this one was consumed.
        const uint32_t left = m_nCurBuf;
        m_nCurBuf ^= 1;
        m_nReadPos = 0;
        if (m_nBufRequest[m_nCurBuf] != 0) {
            const int64_t got = AwaitRead(m_nBufRequest[m_nCurBuf]);
            if (got >= 0) m_nBufRequest[m_nCurBuf] = 0;
            // A failed (short) read ends the data where it stopped.
            const uint32_t delivered = got < 0 ? 0 : static_cast<uint32_t>(got);
            if (delivered < m_nBufBytes[m_nCurBuf]) m_bReadFailed = true;
            m_nBufBytes[m_nCurBuf] = std::min(m_nBufBytes[m_nCurBuf], delivered);
        }
        // Refill the buffer just left with the next piece of the file.
        const uint32_t fileSize = m_pReader->GetFileSize();
        const uint32_t remaining = fileSize > m_nNextFileOffset ? fileSize - m_nNextFileOffset : 0;
        if (remaining == 0) {
            m_nBufBytes[left] = 0;
        } else {
            const uint32_t bytes = std::min(remaining, kBufferSize);
            m_nBufBytes[left] = bytes;
            const bool issued = IssueRead(left, m_nNextFileOffset, bytes);
            m_nNextFileOffset += bytes;
            if (!issued) {
                m_nBufBytes[left] = 0;
                m_bReadFailed = true;
                return 0;
            }
        }
        n = std::min(m_nBufBytes[m_nCurBuf], wanted);
    }
    std::memcpy(destination, m_pBuf[m_nCurBuf].get() + m_nReadPos, n);
    m_nReadPos += n;
    return n;
}

uint32_t CSSampleHandlerOGG::Feed() {
    char* buffer = ogg_sync_buffer(&m_SyncState, kFeedSize);
    if (!buffer) return 0;
    const uint32_t n = ReadSource(reinterpret_cast<uint8_t*>(buffer), kFeedSize);
    ogg_sync_wrote(&m_SyncState, static_cast<long>(n));
    return n;
}

bool CSSampleHandlerOGG::RunHeaderSequence() {
    ogg_sync_init(&m_SyncState);
    m_bCodecReady = true;
    Feed();
    if (ogg_sync_pageout(&m_SyncState, &m_Page) != 1) return false;

    ogg_stream_init(&m_StreamState, ogg_page_serialno(&m_Page));
    vorbis_info_init(&m_VorbisInfo);
    vorbis_comment_init(&m_Comment);
    if (ogg_stream_pagein(&m_StreamState, &m_Page) < 0) return false;
    if (ogg_stream_packetout(&m_StreamState, &m_Packet) != 1) return false;
    if (vorbis_synthesis_headerin(&m_VorbisInfo, &m_Comment, &m_Packet) != 0) return false;

    // The comment and setup headers. Packets behind them on the same page stay queued for decoding.
    int headers = 0;
    while (headers < 2) {
        const int page = ogg_sync_pageout(&m_SyncState, &m_Page);
        if (page == 0) {
            if (Feed() == 0) return false;
            continue;
        }
        if (page < 0) continue;
        ogg_stream_pagein(&m_StreamState, &m_Page);
        while (headers < 2) {
            const int packet = ogg_stream_packetout(&m_StreamState, &m_Packet);
            if (packet == 0) break;
            if (packet < 0) return false;
            if (vorbis_synthesis_headerin(&m_VorbisInfo, &m_Comment, &m_Packet) < 0) return false;
            ++headers;
        }
    }
    // Only mono and stereo play; refuse the rest here rather than accept a sound that is never delivered.
    if (m_VorbisInfo.channels < 1 || m_VorbisInfo.channels > 2) return false;
    if (vorbis_synthesis_init(&m_DspState, &m_VorbisInfo) != 0) return false;
    vorbis_block_init(&m_DspState, &m_Block);
    m_nMaxBlockFrames = 131072 / m_VorbisInfo.channels;
    return true;
}

void CSSampleHandlerOGG::ClearCodec() {
    if (!m_bCodecReady) return;
    ogg_stream_clear(&m_StreamState);
    vorbis_block_clear(&m_Block);
    vorbis_dsp_clear(&m_DspState);
    vorbis_comment_clear(&m_Comment);
    vorbis_info_clear(&m_VorbisInfo);
    ogg_sync_clear(&m_SyncState);
    ZeroCodecState();
    m_bCodecReady = false;
    m_bPagePending = false;
    m_bPageEos = false;
}

void CSSampleHandlerOGG::ZeroCodecState() {
    std::memset(&m_SyncState, 0, sizeof(m_SyncState));
    std::memset(&m_StreamState, 0, sizeof(m_StreamState));
    std::memset(&m_Page, 0, sizeof(m_Page));
    std::memset(&m_Packet, 0, sizeof(m_Packet));
    std::memset(&m_VorbisInfo, 0, sizeof(m_VorbisInfo));
    std::memset(&m_Comment, 0, sizeof(m_Comment));
    std::memset(&m_DspState, 0, sizeof(m_DspState));
    std::memset(&m_Block, 0, sizeof(m_Block));
}

void CSSampleHandlerOGG::Close() {
    delete m_pReader;  // waits for the reads in flight
    m_pReader = nullptr;
    m_pBuf[0].reset();
    m_pBuf[1].reset();
    m_pSavedHead.reset();
    m_nSavedHeadSize = 0;
    m_nBufBytes[0] = m_nBufBytes[1] = 0;
    m_nBufRequest[0] = m_nBufRequest[1] = 0;
    m_bWholeFile = false;
    m_nReadPos = 0;
    m_nCurBuf = 0;
    m_nNextFileOffset = 0;
    m_nDecodedFrames = 0;
    m_nWriteOff = 0;
    m_nReadOff = 0;
    m_bEndOfStream = 0;
    m_nMaxBlockFrames = 0;
    std::memset(m_Ring, 0, sizeof(m_Ring));
    ClearCodec();
}

const SampleFormat* CSSampleHandlerOGG::ParseHeader() {
    if (!m_pReader) return nullptr;
    if (m_bReady) return &m_Format;
    const int64_t got = m_pReader->Poll(m_nBufRequest[0]);
    if (got < 0) return nullptr;
    if (got < m_nBufBytes[0]) {
        Close();
        return nullptr;
    }
    m_nBufRequest[0] = 0;
    if (m_bLooping && !m_bWholeFile) {
        m_pSavedHead.reset(new uint8_t[kBufferSize]);
        std::memcpy(m_pSavedHead.get(), m_pBuf[0].get(), kBufferSize);
        m_nSavedHeadSize = kBufferSize;
    }
    if (!RunHeaderSequence()) {
        Close();
        return nullptr;
    }

    // The length in milliseconds: the last "size=" comment, read as "%i" reads it.
    int32_t length = 0;
    for (int i = 0; i < m_Comment.comments; ++i) {
        const char* comment = m_Comment.user_comments[i];
        const int size = m_Comment.comment_lengths ? m_Comment.comment_lengths[i] : 0;
        if (!comment || size < 5 || std::strncmp(comment, "size=", 5) != 0) continue;
        const std::string value(comment + 5, static_cast<size_t>(size - 5));
        length = static_cast<int32_t>(std::strtoll(value.c_str(), nullptr, 0));
    }

    m_nDecodedFrames = 0;
    const int64_t rate = m_VorbisInfo.rate;
    int64_t frames;
    if (length == 0) frames = rate * 3600;  // unknown: one hour
    else if (m_bLooping) frames = length * rate / 1000;
    else frames = rate / 2 + length * rate / 1000;  // half a second more than the comment says
    m_Format.channels = static_cast<uint32_t>(m_VorbisInfo.channels);
    m_Format.rate = static_cast<uint32_t>(rate);
    m_Format.bitsPerSample = 16;
    m_Format.frameCount = static_cast<uint32_t>(frames);
    m_bReady = true;
    return &m_Format;
}

void CSSampleHandlerOGG::PollHeader() {
    if (m_pReader && m_bReady) m_pReader->Poll(m_nBufRequest[0]);
}

void CSSampleHandlerOGG::RestartDecoding() {
    m_nWriteOff = 0;
    m_nReadOff = 0;
    std::memset(m_Ring, 0, sizeof(m_Ring));
    m_bEndOfStream = 0;
    m_nMaxBlockFrames = 0;
    m_bReadFailed = false;

    bool usedSavedHead = false;
    if (!m_bWholeFile) {
        for (uint32_t& id : m_nBufRequest) {
            if (id != 0) m_pReader->Wait(id);
            id = 0;
        }
        m_nDecodedFrames = 0;
        m_nReadPos = 0;
        m_nCurBuf = 0;
        m_nBufBytes[0] = m_nBufBytes[1] = kBufferSize;
        if (m_bLooping && m_pSavedHead) {
            std::memcpy(m_pBuf[0].get(), m_pSavedHead.get(), m_nSavedHeadSize);
            usedSavedHead = true;
        } else if (!IssueRead(0, 0, kBufferSize)) {
            Close();
            return;
        }
        if (!IssueRead(1, kBufferSize, kBufferSize)) {
            Close();
            return;
        }
        m_nNextFileOffset = 2 * kBufferSize;
    }

    ClearCodec();

    if (m_bWholeFile) {
        m_nReadPos = 0;
        m_nNextFileOffset = 0;
        m_nDecodedFrames = 0;
    } else {
        int64_t got = m_nSavedHeadSize;
        if (!usedSavedHead) got = AwaitRead(m_nBufRequest[0]);
        if (got < kBufferSize) {
            Close();
            return;
        }
        m_nBufRequest[0] = 0;
    }
    if (!RunHeaderSequence()) Close();
}

void CSSampleHandlerOGG::Drain(uint8_t*& destination, uint64_t& wanted) {
    const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(m_nWriteOff - m_nReadOff, wanted));
    if (n != 0) {
        if (destination) {
            std::memcpy(destination, m_Ring + m_nReadOff, n);
            destination += n;
        }
        m_nReadOff += n;
        wanted -= n;
        m_nDecodedFrames += n / (2 * static_cast<uint32_t>(m_VorbisInfo.channels));
    }
    if (m_nReadOff == m_nWriteOff) m_nReadOff = m_nWriteOff = 0;
}

bool CSSampleHandlerOGG::EmitPcm() {
    const int channels = m_VorbisInfo.channels;
    float** pcm = nullptr;
    int samples;
    while ((samples = vorbis_synthesis_pcmout(&m_DspState, &pcm)) > 0) {
        const int block = std::min(samples, m_nMaxBlockFrames);
        const int fit = static_cast<int>((kRingSize - m_nWriteOff) / 2) / channels;
        const int stored = std::min(block, fit);
        uint8_t* out = m_Ring + m_nWriteOff;
        for (int i = 0; i < stored; ++i) {
            for (int c = 0; c < channels; ++c) {
                const int16_t sample = ConvertSample(pcm[c][i]);
                std::memcpy(out, &sample, sizeof(sample));
                out += sizeof(sample);
            }
        }
        m_nWriteOff += static_cast<uint32_t>(stored * channels * 2);
        // Only what the ring took counts as read: the rest stays in the decoder for later.
        vorbis_synthesis_read(&m_DspState, stored);
        if (stored < block) return false;
    }
    return true;
}

CSSampleHandlerOGG::DecodeStop CSSampleHandlerOGG::Decode() {
    for (;;) {
        // A new block replaces what the decoder still holds, so its output goes first.
        if (!EmitPcm()) return DecodeStop::RingFull;
        if (m_bPagePending) {
            const int packet = ogg_stream_packetout(&m_StreamState, &m_Packet);
            if (packet < 0) {
                Close();
                return DecodeStop::Closed;
            }
            if (packet > 0) {
                if (vorbis_synthesis(&m_Block, &m_Packet) == 0) vorbis_synthesis_blockin(&m_DspState, &m_Block);
                continue;
            }
            m_bPagePending = false;
            if (m_bPageEos) {
                m_bEndOfStream = 1;
                return DecodeStop::EndOfStream;
            }
        }
        const int page = ogg_sync_pageout(&m_SyncState, &m_Page);
        if (page == 0) return DecodeStop::NeedData;
        if (page < 0) {
            Close();
            return DecodeStop::Closed;
        }
        // A page of another stream is refused by the stream state and passed over.
        const bool accepted = ogg_stream_pagein(&m_StreamState, &m_Page) == 0;
        m_bPagePending = true;
        m_bPageEos = accepted && ogg_page_eos(&m_Page);
    }
}

void CSSampleHandlerOGG::RequestRead(void* destination, uint32_t firstFrame, uint32_t frameCount, const void* key) {
    ClearRequestFailed(key);
    Deliver(destination, firstFrame, frameCount);
    // The file failed under the decoder: what follows the failure is not the sound's.
    if (!m_pReader || m_bReadFailed) MarkRequestFailed(key);
}

void CSSampleHandlerOGG::Deliver(void* destination, uint32_t firstFrame, uint32_t frameCount) {
    if (!m_pReader || !m_bReady) return;
    if (firstFrame == 0 && m_nDecodedFrames != 0) {
        RestartDecoding();
        if (!m_pReader) return;
    }
    if (frameCount == 0 || m_VorbisInfo.channels > 2) return;

    uint8_t* out = m_bSkipOutput ? nullptr : static_cast<uint8_t*>(destination);
    uint64_t wanted = static_cast<uint64_t>(frameCount) * static_cast<uint32_t>(m_VorbisInfo.channels) * 2;
    Drain(out, wanted);
    if (wanted == 0) return;
    while (!m_bEndOfStream) {
        const DecodeStop stop = Decode();
        if (stop == DecodeStop::Closed) return;  // the rest of the destination is left as it was
        Drain(out, wanted);
        if (stop == DecodeStop::NeedData && Feed() == 0) m_bEndOfStream = 1;
        if (wanted == 0) return;
    }
    // After the end of the stream every further frame is silence.
    if (out) std::memset(out, 0, wanted);
}

uint32_t CSSampleHandlerOGG::SeekTo(uint32_t frame) {
    if (frame == m_nDecodedFrames) return frame;
    if (frame < m_nDecodedFrames) {
        RestartDecoding();
        return 0;
    }
    const uint64_t frameBytes = static_cast<uint64_t>(m_Format.channels) * 2;
    const uint64_t limit = static_cast<uint64_t>(m_Format.rate) * 16 * frameBytes;
    const uint64_t count = std::min<uint64_t>(frame - m_nDecodedFrames, limit);
    m_bSkipOutput = true;
    Deliver(nullptr, m_nDecodedFrames, static_cast<uint32_t>(count));
    m_bSkipOutput = false;
    return m_nDecodedFrames >= frame ? frame : m_nDecodedFrames;
}
