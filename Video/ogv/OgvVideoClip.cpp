#include "Video/ogv/OgvVideoClip.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "Video/ogv/OgvAudioInterface.h"
#include "Video/ogv/OgvAudioInterfaceFactory.h"
#include "Video/ogv/OgvColourConversion.h"
#include "Video/ogv/OgvDataSource.h"
#include "Video/ogv/OgvFrameQueue.h"
#include "Video/ogv/OgvGenericException.h"
#include "Video/ogv/OgvMutex.h"
#include "Video/ogv/OgvStreams.h"
#include "Video/ogv/OgvText.h"
#include "Video/ogv/OgvTimer.h"
#include "Video/ogv/OgvVideoManager.h"

namespace {

// The exception names the file without its folders.
[[noreturn]] void Fail(const std::string& text, int line) {
    throw _OgvGenericException(text, "OgvGenericException", "OgvVideoClip", line);
}

}  // namespace

OgvVideoClip::OgvVideoClip(OgvDataSource* source, int mode, int precachedFrames, bool power2Stride)
    : numPrecachedFrames(precachedFrames), outputMode(mode), use_power2_stride_(power2Stride) {
    name = source->Name();
    audioMutex = new OgvMutex();
    defaultTimer = new OgvTimer();
    timer = defaultTimer;
    streams = new OgvStreams();
    try {
        Load(source);
    } catch (...) {
        Free();
        throw;
    }
}

OgvVideoClip::~OgvVideoClip() {
    while (assignedWorker.load() != nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Free();
}

void OgvVideoClip::Free() {
    delete defaultTimer;
    defaultTimer = nullptr;
    timer = nullptr;
    delete frameQueue;
    frameQueue = nullptr;
    if (streams != nullptr) {
        if (streams->theoraDecoder != nullptr) th_decode_free(streams->theoraDecoder);
        streams->theoraDecoder = nullptr;
        ClearStreams();
        delete streams;
        streams = nullptr;
    }
    if (audioInterface != nullptr) {
        OgvMutexLock lock(*audioMutex);
        audioInterface->Destroy();
        delete audioInterface;
        audioInterface = nullptr;
    }
    delete audioMutex;
    audioMutex = nullptr;
}

void OgvVideoClip::Load(OgvDataSource* source) {
    dataSource = source;
    if (GetOgvConverter(outputMode) == nullptr)
        Fail("output mode " + OgvIntText(outputMode) + " is not one of 1 to 13", __LINE__);
    ReadTheoraVorbisHeaders();

    // The converters take 4:2:0 pictures; the frame buffers are allocated at once.
    const th_info& info = streams->theoraInfo;
    if (info.pixel_fmt != TH_PF_420) Fail("Theora pixel format is not 4:2:0", __LINE__);
    if (info.frame_width > kMaxFrameSide || info.frame_height > kMaxFrameSide)
        Fail("Theora frame side above " + OgvIntText(kMaxFrameSide), __LINE__);
    // Without a Theora stream there is no decoder and the clip never yields a frame.
    if (theoraHeaders != 0) streams->theoraDecoder = th_decode_alloc(&info, streams->theoraSetup);
    width = static_cast<int32_t>(info.frame_width);
    height = static_cast<int32_t>(info.frame_height);
    stride = width;
    if (use_power2_stride_) {
        stride = 1;
        while (stride < width) stride *= 2;
    }
    frameQueue = new OgvFrameQueue(numPrecachedFrames, this);

    if (streams->theoraDecoder != nullptr) ReadDuration();
    if (duration >= 0) {
        Log(name + ": file duration is " + OgvFloatText(duration) + " seconds");
    } else {
        Log(name + ": unable to determine file duration!");
    }

    // The second pass leaves the streams at the first data page. It starts from clean
    // codec state: libtheora refuses a setup header when it is handed the setup it made.
    ClearStreams();
    dataSource->Seek(0);
    theoraHeaders = vorbisHeaders = 0;
    ReadTheoraVorbisHeaders();

    if (vorbisHeaders != 0) {
        vorbis_synthesis_init(&streams->vorbisDsp, &streams->vorbisInfo);
        vorbis_block_init(&streams->vorbisDsp, &streams->vorbisBlock);
        OgvVideoManager* manager = OgvVideoManager::Instance();
        if (manager != nullptr && manager->GetAudioInterfaceFactory() != nullptr) {
            audioInterface = manager->GetAudioInterfaceFactory()->CreateInstance(
                this, streams->vorbisInfo.channels, static_cast<int>(streams->vorbisInfo.rate));
        }
    }
}

int32_t OgvVideoClip::BufferData() {
    char* buffer = ogg_sync_buffer(&streams->sync, kReadSize);
    const int32_t bytes = std::max(0, dataSource->Read(buffer, kReadSize));
    ogg_sync_wrote(&streams->sync, bytes);
    return bytes;
}

void OgvVideoClip::ReadTheoraVorbisHeaders() {
    OgvVideoManager* manager = OgvVideoManager::Instance();
    const bool audioWanted = manager != nullptr && manager->GetAudioInterfaceFactory() != nullptr;
    OgvStreams& s = *streams;
    // The state is zero here: fresh, or cleared by ClearStreams.
    ogg_sync_init(&s.sync);
    th_comment_init(&s.theoraComment);
    th_info_init(&s.theoraInfo);
    vorbis_info_init(&s.vorbisInfo);
    vorbis_comment_init(&s.vorbisComment);

    // The stream-start pages: each stream's first packet says what it is.
    bool done = false;
    while (!done && BufferData() > 0) {
        while (ogg_sync_pageout(&s.sync, &s.page) > 0) {
            if (!ogg_page_bos(&s.page)) {
                if (theoraHeaders != 0) ogg_stream_pagein(&s.theoraStream, &s.page);
                if (vorbisHeaders != 0) ogg_stream_pagein(&s.vorbisStream, &s.page);
                done = true;
                break;
            }
            ogg_stream_state test;
            ogg_stream_init(&test, ogg_page_serialno(&s.page));
            ogg_stream_pagein(&test, &s.page);
            ogg_packet packet;
            // A start page without a whole packet is no stream of ours.
            const bool whole = ogg_stream_packetout(&test, &packet) == 1;
            if (whole && theoraHeaders == 0 &&
                th_decode_headerin(&s.theoraInfo, &s.theoraComment, &s.theoraSetup, &packet) > 0) {
                s.theoraStream = test;
                theoraHeaders = 1;
            } else if (whole && audioWanted && vorbisHeaders == 0 &&
                       vorbis_synthesis_headerin(&s.vorbisInfo, &s.vorbisComment, &packet) >= 0) {
                s.vorbisStream = test;
                vorbisHeaders = 1;
            } else {
                ogg_stream_clear(&test);
            }
        }
    }

    // The remaining header packets of the streams found.
    while ((theoraHeaders != 0 && theoraHeaders < 3) || (vorbisHeaders != 0 && vorbisHeaders < 3)) {
        ogg_packet packet;
        while (theoraHeaders == 1 || theoraHeaders == 2) {
            const int result = ogg_stream_packetout(&s.theoraStream, &packet);
            if (result == 0) break;
            if (result < 0) Fail("Error parsing Theora stream headers.", 580);
            // 0 (a data packet) and the decoder's refusals alike: the stream is unusable.
            if (th_decode_headerin(&s.theoraInfo, &s.theoraComment, &s.theoraSetup, &packet) <= 0)
                Fail("invalid theora stream", 583);
            ++theoraHeaders;
        }
        while (vorbisHeaders == 1 || vorbisHeaders == 2) {
            const int result = ogg_stream_packetout(&s.vorbisStream, &packet);
            if (result == 0) break;
            if (result < 0) Fail("Error parsing vorbis stream headers", 594);
            if (vorbis_synthesis_headerin(&s.vorbisInfo, &s.vorbisComment, &packet) != 0) Fail("invalid stream", 597);
            ++vorbisHeaders;
        }
        if (ogg_sync_pageout(&s.sync, &s.page) > 0) {
            if (theoraHeaders != 0) ogg_stream_pagein(&s.theoraStream, &s.page);
            if (vorbisHeaders != 0) ogg_stream_pagein(&s.vorbisStream, &s.page);
        } else if (BufferData() == 0) {
            Fail("End of file found prematurely", 617);
        }
    }
}

void OgvVideoClip::ReadDuration() {
    OgvStreams& s = *streams;
    const int32_t size = dataSource->Size();
    const int serial = s.theoraStream.serialno;
    // Ever larger windows at the end of the data; the last Theora page of a window wins.
    for (int i = 1; i <= kDurationWindows && !(duration > 0); ++i) {
        const int32_t window = i * kReadSize;
        ogg_sync_reset(&s.sync);
        dataSource->Seek(std::max(0, size - window));
        char* buffer = ogg_sync_buffer(&s.sync, window);
        ogg_sync_wrote(&s.sync, std::max(0, dataSource->Read(buffer, window)));
        ogg_sync_pageseek(&s.sync, &s.page);
        int result;
        while ((result = ogg_sync_pageout(&s.sync, &s.page)) != 0) {
            if (result < 0 || ogg_page_serialno(&s.page) != serial) continue;
            const ogg_int64_t granule = ogg_page_granulepos(&s.page);
            duration = static_cast<float>(th_granule_time(s.theoraDecoder, granule));
            numFrames = static_cast<int32_t>(th_granule_frame(s.theoraDecoder, granule) + 1);
        }
    }
}

void OgvVideoClip::ClearStreams() {
    OgvStreams& s = *streams;
    ogg_sync_clear(&s.sync);
    s.page = ogg_page();
    ogg_stream_clear(&s.vorbisStream);
    ogg_stream_clear(&s.theoraStream);
    th_info_clear(&s.theoraInfo);
    th_comment_clear(&s.theoraComment);
    th_setup_free(s.theoraSetup);
    s.theoraSetup = nullptr;
    vorbis_block_clear(&s.vorbisBlock);
    vorbis_dsp_clear(&s.vorbisDsp);
    vorbis_comment_clear(&s.vorbisComment);
    vorbis_info_clear(&s.vorbisInfo);
}

void OgvVideoClip::Log(const std::string& message) {
    if (OgvVideoManager* manager = OgvVideoManager::Instance()) manager->Log(message);
}

void OgvVideoClip::SetTimer(OgvTimer* clock) { timer = clock != nullptr ? clock : defaultTimer; }

float OgvVideoClip::GetTimePosition() { return timer->GetTime(); }

int OgvVideoClip::GetNumPrecachedFrames() const { return frameQueue->GetSize(); }

int OgvVideoClip::GetNumReadyFrames() const { return frameQueue->GetReadyCount(); }

bool OgvVideoClip::HasDecoder() const { return streams->theoraDecoder != nullptr; }

void OgvVideoClip::Play() { timer->Play(); }

void OgvVideoClip::Pause() { timer->Pause(); }

bool OgvVideoClip::IsPaused() { return timer->IsPaused(); }

float OgvVideoClip::GetPriority() {
    float priority = static_cast<float>(frameQueue->GetReadyCount());
    if (timer->IsPaused()) priority += static_cast<float>(frameQueue->GetSize() / 2);
    return priority;
}

void OgvVideoClip::DoSeek() {
    // Stand-in until seeking lands: nothing.
}

void OgvVideoClip::DecodeNextFrame() {
    // Stand-in until the decoding lands: one chunk of the data read and dropped.
    char chunk[kReadSize];
    dataSource->Read(chunk, kReadSize);
}
