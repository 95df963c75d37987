#include "Audio/CSSampleHandlerWAV.h"

#include "Audio/AsyncFileReader.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

bool HasTag(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// The sub-format GUID of extensible PCM.
constexpr uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

}  // namespace

CSSampleHandlerWAV::CSSampleHandlerWAV(const SampleSourceInfo& info, uint8_t priority, uint8_t looping)
    : CSSampleHandler(info, priority, looping), m_nDataOffset(0), m_nHeaderRequest(0) {
    std::memset(m_HeaderBuf, 0, sizeof(m_HeaderBuf));
    m_pReader = new AsyncFileReader(info);
    if (!m_pReader->IsOpen()) {
        delete m_pReader;
        m_pReader = nullptr;
        return;
    }
    const int64_t id = m_pReader->Read(m_HeaderBuf, 0, kHeaderSize);
    if (id < 0) {
        delete m_pReader;
        m_pReader = nullptr;
        return;
    }
    m_nHeaderRequest = static_cast<uint32_t>(id);
}

CSSampleHandlerWAV::~CSSampleHandlerWAV() {
    delete m_pReader;  // waits for the reads in flight
    m_pReader = nullptr;
}

const SampleFormat* CSSampleHandlerWAV::ParseHeader() {
    if (!m_pReader) return nullptr;
    if (m_bReady) return &m_Format;
    const int64_t bytes = m_pReader->Poll(m_nHeaderRequest);
    if (bytes < 0) return nullptr;
    // A file shorter than the header buffer is never accepted.
    if (bytes != kHeaderSize || !ParseHeaderBytes()) {
        RejectHeader();
        return nullptr;
    }
    m_nHeaderRequest = 0;
    m_bReady = true;
    return &m_Format;
}

bool CSSampleHandlerWAV::ParseHeaderBytes() {
    const uint8_t* h = m_HeaderBuf;
    if (!HasTag(h, "RIFF") || !HasTag(h + 8, "WAVE") || !HasTag(h + 12, "fmt ")) return false;
    const uint32_t fmtSize = ReadU32(h + 16);
    if (fmtSize < 16 || fmtSize > 4096) return false;

    m_Format.channels = ReadU16(h + 22);
    m_Format.rate = ReadU32(h + 24);
    m_Format.bitsPerSample = ReadU16(h + 34);
    if (m_Format.channels == 0 || m_Format.bitsPerSample < 8) return false;

    // Only plain PCM plays: anything else (compressed tags) would be delivered as noise.
    const uint16_t tag = ReadU16(h + 20);
    const bool pcm =
        tag == kFormatPcm || (tag == kFormatExtensible && fmtSize >= 40 && std::memcmp(h + 44, kPcmSubFormat, 16) == 0);
    if (!pcm || m_Format.channels > 2 || (m_Format.bitsPerSample != 8 && m_Format.bitsPerSample != 16) ||
        m_Format.rate == 0) {
        return false;
    }

    uint64_t chunk = 20 + fmtSize;
    if (HasTag(h + chunk, "PAD ")) {
        chunk += 8 + static_cast<uint64_t>(ReadU32(h + chunk + 4));
        if (chunk + 8 > kHeaderSize) return false;
    }
    if (!HasTag(h + chunk, "data")) return false;

    const uint32_t dataSize = ReadU32(h + chunk + 4);
    m_Format.frameCount = dataSize / (m_Format.bitsPerSample / 8) / m_Format.channels;
    m_nDataOffset = static_cast<uint32_t>(chunk + 8);
    return true;
}

void CSSampleHandlerWAV::RejectHeader() {
    delete m_pReader;
    m_pReader = nullptr;
    std::memset(m_HeaderBuf, 0, sizeof(m_HeaderBuf));
    m_Format = SampleFormat();
    m_nDataOffset = 0;
    m_nHeaderRequest = 0;
}

void CSSampleHandlerWAV::PollHeader() {
    if (m_pReader && m_bReady) m_pReader->Poll(m_nHeaderRequest);
}

void CSSampleHandlerWAV::RequestRead(void* destination, uint32_t firstFrame, uint32_t frameCount, const void* key) {
    ClearRequestFailed(key);
    if (!m_pReader || !m_bReady) {
        MarkRequestFailed(key);
        return;
    }
    constexpr uint64_t kMax = std::numeric_limits<uint32_t>::max();
    const uint64_t frameBytes = (m_Format.bitsPerSample / 8) * m_Format.channels;
    const uint32_t bytes = static_cast<uint32_t>(std::min(frameBytes * frameCount, kMax));
    // An offset past 4 GiB lies past the end of any file the reader opens.
    const uint32_t offset = static_cast<uint32_t>(std::min(frameBytes * firstFrame + m_nDataOffset, kMax));

    // A "data" size that runs past the end of the file: what the file cannot deliver is silence.
    const uint32_t fileSize = m_pReader->GetFileSize();
    const uint32_t readable = offset < fileSize ? std::min(bytes, fileSize - offset) : 0;

    const int64_t id = m_pReader->Read(destination, offset, bytes);
    // A refused read records nothing: the requester sees it done (and failed) and the
    // destination unchanged. A read is recorded with the bytes the file can deliver.
    if (id < 0) {
        MarkRequestFailed(key);
        return;
    }
    m_arrRequests.push_back({key, static_cast<uint32_t>(id), readable});
    // The read is cut at the end of the file, so the tail is never written by it.
    if (destination && readable < bytes) {
        const uint8_t silence = m_Format.bitsPerSample == 8 ? 0x80 : 0x00;
        std::memset(static_cast<uint8_t*>(destination) + readable, silence, bytes - readable);
    }
}

void CSSampleHandlerWAV::PollRequests() {
    if (!m_pReader) return;
    // A finished read is forgotten; one that delivered less than asked is marked failed.
    m_arrRequests.erase(std::remove_if(m_arrRequests.begin(), m_arrRequests.end(),
                                       [this](const SampleRequest& r) {
                                           const int64_t got = m_pReader->Poll(r.requestId);
                                           if (got < 0) return false;
                                           if (got < r.byteCount) MarkRequestFailed(r.key);
                                           return true;
                                       }),
                        m_arrRequests.end());
}

bool CSSampleHandlerWAV::IsRequestDone(const void* key) {
    if (!m_pReader || !m_bReady) return true;
    PollRequests();
    return std::none_of(m_arrRequests.begin(), m_arrRequests.end(),
                        [key](const SampleRequest& r) { return r.key == key; });
}

void CSSampleHandlerWAV::FinishRequest(const void* key) {
    if (!m_pReader || !m_bReady) return;
    PollRequests();
    auto it = std::find_if(m_arrRequests.begin(), m_arrRequests.end(),
                           [key](const SampleRequest& r) { return r.key == key; });
    if (it == m_arrRequests.end()) return;
    m_pReader->Wait(it->requestId);
    m_arrRequests.erase(it);
}
