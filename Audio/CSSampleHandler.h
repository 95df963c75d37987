#pragma once
// The cached, reference-counted source of the PCM frames of one sound file.
// Every handler ever created sits in one process-wide list; FindOrCreate hands out a further
// reference to a matching handler or creates one, Release gives it back. An unreferenced
// handler stays cached, its file open, until a purge deletes it.
#include "Audio/SampleSourceInfo.h"
#include "platform/win32/Types.h"

#include <cstdint>
#include <vector>

class AsyncFileReader;

// One read in flight for a requester.
struct SampleRequest {
    const void* key;     // the requester (only compared)
    uint32_t requestId;  // reader request id
    uint32_t byteCount;
};

class CSSampleHandler {
public:
    // A further reference on a cached handler of the same path and options that is not busy,
    // or a new handler (OGG for the ".ogg" format, WAV for every other); null when allocation fails.
    static CSSampleHandler* FindOrCreate(const SampleSourceInfo& info, uint8_t priority, uint8_t looping);
    // Deletes every unreferenced handler.
    static void PurgeUnused();
    // The newest cached handler; the list continues through GetNextCached.
    static CSSampleHandler* GetFirstCached();
    CSSampleHandler* GetNextCached() const { return m_pNext; }

    virtual ~CSSampleHandler();

    CSSampleHandler(const CSSampleHandler&) = delete;
    CSSampleHandler& operator=(const CSSampleHandler&) = delete;

    // Gives a reference back; the new count. The handler stays cached at 0.
    LONG Release();
    LONG GetRefCount() const { return m_nRefCount; }
    const SampleSourceInfo& GetInfo() const { return m_Info; }

    // The format once the header is parsed; null while it is not, or without a file.
    virtual const SampleFormat* ParseHeader() = 0;
    // Polls the header read once; the result is dropped.
    virtual void PollHeader() = 0;
    // Delivers frameCount frames of interleaved PCM from firstFrame into destination.
    virtual void RequestRead(void* destination, uint32_t firstFrame, uint32_t frameCount, const void* key) = 0;
    // True when no read of the key is in flight.
    virtual bool IsRequestDone(const void* key) = 0;
    // Waits for the key's read and forgets it.
    virtual void FinishRequest(const void* key) = 0;
    // True when the handler must not be handed out again.
    virtual bool IsBusy() const = 0;
    // The handler has its file.
    virtual bool IsOpen() const = 0;
    // Services the reads in flight.
    virtual void PollRequests() = 0;
    // No more data can come.
    virtual bool IsAtEnd() const = 0;
    // Moves to a frame; the frame reached.
    virtual uint32_t SeekTo(uint32_t frame) = 0;

    // True when the key's last read ended in an error: refused, or it delivered less than the
    // file holds there. Such a read still counts as done. The key's next request clears it.
    bool HasRequestFailed(const void* key) const;

protected:
    CSSampleHandler(const SampleSourceInfo& info, uint8_t priority, uint8_t looping);

    uint32_t m_nReleaseStamp;
    std::vector<SampleRequest> m_arrRequests;
    AsyncFileReader* m_pReader;
    volatile LONG m_nRefCount;
    SampleSourceInfo m_Info;
    SampleFormat m_Format;
    bool m_bReady;
    uint8_t m_nPriority;
    uint8_t m_bLooping;

    void MarkRequestFailed(const void* key);
    void ClearRequestFailed(const void* key);

private:
    bool Matches(const SampleSourceInfo& info, uint8_t priority, uint8_t looping) const;

    CSSampleHandler* m_pNext;
    std::vector<const void*> m_arrFailed;  // keys whose last read failed
};
