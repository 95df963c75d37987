#include "Video/ogv/OgvVideoClip.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "Video/ogv/DecodedVideoFrame.h"
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

void OgvVideoClip::ClockSeek(float seconds) {
    OgvMutexLock lock(*audioMutex);
    timer->Seek(seconds);
}

void OgvVideoClip::Play() {
    OgvMutexLock lock(*audioMutex);
    timer->Play();
}

void OgvVideoClip::Pause() {
    OgvMutexLock lock(*audioMutex);
    timer->Pause();
}

bool OgvVideoClip::IsPaused() {
    OgvMutexLock lock(*audioMutex);
    return timer->IsPaused();
}

void OgvVideoClip::Stop() {
    Pause();
    Seek(0.0f);
}

void OgvVideoClip::Seek(float seconds) {
    seekTime = seconds;
    endOfFile = false;
}

void OgvVideoClip::SetAutoRestart(bool value) {
    autoRestart = value;
    if (value) endOfFile = false;
}

float OgvVideoClip::GetPriority() {
    float priority = static_cast<float>(frameQueue->GetReadyCount());
    if (IsPaused()) priority += static_cast<float>(frameQueue->GetSize() / 2);
    return priority;
}

// --- main thread ------------------------------------------------------------------------

void OgvVideoClip::Update(float increase) {
    float t;
    {
        OgvMutexLock lock(*audioMutex);
        if (timer->IsPaused()) return;
        timer->Update(increase);
        t = timer->GetTime();
    }
    // The wrap waits until the worker has rewound the data for the next loop.
    if (!(t >= duration.load() && autoRestart && restarted)) return;
    const float overshoot = t - duration.load();
    ClockSeek(overshoot);
    restarted = false;
    // The first end frame still queued is shown at once; the old loop's others go.
    int dropped = 0;
    DecodedVideoFrame* front = frameQueue->GetFirstAvailableFrame();
    if (front != nullptr && front->GetTime() > kNewLoopTime) {
        front->SetTime(overshoot);
        dropped = 1;
        while (frameQueue->DropBehindFront(kNewLoopTime)) {
            ++numDisplayedFrames;
            ++dropped;
        }
    }
    if (dropped > 0) Log("dropped " + OgvIntText(dropped) + " end frames");
}

void OgvVideoClip::DecodeAudio() {
    if (audioInterface == nullptr) return;
    OgvMutexLock lock(*audioMutex);
    if (timer->IsPaused()) return;
    OgvStreams& s = *streams;
    for (;;) {
        float** pcm = nullptr;
        int count;
        while ((count = vorbis_synthesis_pcmout(&s.vorbisDsp, &pcm)) > 0) {
            audioInterface->InsertData(pcm, count);
            vorbis_synthesis_read(&s.vorbisDsp, count);
        }
        // The next loop's sound waits for the clock to wrap.
        if (restarted) return;
        ogg_packet packet;
        if (ogg_stream_packetout(&s.vorbisStream, &packet) <= 0) return;
        if (vorbis_synthesis(&s.vorbisBlock, &packet) == 0) vorbis_synthesis_blockin(&s.vorbisDsp, &s.vorbisBlock);
    }
}

DecodedVideoFrame* OgvVideoClip::GetNextFrame() {
    const float t = timer->GetTime();
    for (;;) {
        DecodedVideoFrame* frame = frameQueue->GetFirstAvailableFrame();
        if (frame == nullptr || frame->GetTime() > t) return nullptr;
        if (frame->GetTime() >= t - kLateWindow) return frame;
        // A frame of the next loop while the clock is still at the end of this one.
        if (restarted && frame->GetTime() < kNextLoopFrameTime) return nullptr;
        ++numDroppedFrames;
        ++numDisplayedFrames;
        frameQueue->Pop();
    }
}

void OgvVideoClip::PopFrame() {
    ++numDisplayedFrames;
    frameQueue->Pop();
}

// --- worker -----------------------------------------------------------------------------

void OgvVideoClip::ReplaceDecoder() {
    if (theoraHeaders == 0) return;
    OgvStreams& s = *streams;
    if (s.theoraDecoder != nullptr) th_decode_free(s.theoraDecoder);
    s.theoraDecoder = th_decode_alloc(&s.theoraInfo, s.theoraSetup);
}

void OgvVideoClip::DecodeNextFrame() {
    if (endOfFile) return;
    DecodedVideoFrame* frame = frameQueue->RequestEmptyFrame();
    if (frame == nullptr) return;
    OgvStreams& s = *streams;
    int skipped = 0;
    for (;;) {
        ogg_packet packet;
        if (ogg_stream_packetout(&s.theoraStream, &packet) > 0) {
            if (seekTime.load() == kAwaitingKeyframe) {
                if (th_packet_iskeyframe(&packet) != 1) {
                    ++skipped;
                    continue;
                }
                float awaiting = kAwaitingKeyframe;
                seekTime.compare_exchange_strong(awaiting, kNoSeek);
                if (skipped > 0)
                    Log(name + "[seek]: skipped " + OgvIntText(skipped) + " frames while searching for keyframe");
                // The packets before the keyframe never reached the decoder, so its count
                // is behind: the keyframe takes the granule set here, and the frames after
                // it count on from there.
                if (seekKeyframe >= 1) {
                    ogg_int64_t keyframe = static_cast<ogg_int64_t>(seekKeyframe) << s.theoraInfo.keyframe_granule_shift;
                    th_decode_ctl(s.theoraDecoder, TH_DECCTL_SET_GRANPOS, &keyframe, sizeof(keyframe));
                }
                seekKeyframe = -1;
            }
            ogg_int64_t granule = 0;
            if (th_decode_packetin(s.theoraDecoder, &packet, &granule) != 0) continue;
            const float time = static_cast<float>(th_granule_time(s.theoraDecoder, granule));
            if (duration.load() < time) duration = time;
            if (time >= timer->GetTime() || restarted) {
                frame->SetTime(time);
                th_ycbcr_buffer picture;
                th_decode_ycbcr_out(s.theoraDecoder, picture);
                frame->Decode(picture);
                return;
            }
            // Already late: decoded for the codec's sake, never converted.
            ++numDisplayedFrames;
            ++numDroppedFrames;
        } else if (!ReadData()) {
            frameQueue->GiveBack(frame);
            return;
        }
    }
}

bool OgvVideoClip::ReadData() {
    OgvStreams& s = *streams;
    float audioTime = 0.0f;
    bool endOfStream = false;
    const float now = restarted ? 0.0f : timer->GetTime();
    for (;;) {
        // Pages already in the sync state come first: the header pass may have read the
        // rest of a short file.
        bool taken = false;
        while (ogg_sync_pageout(&s.sync, &s.page) > 0) {
            taken = true;
            // The Theora stream refuses the other streams' pages.
            ogg_stream_pagein(&s.theoraStream, &s.page);
            if (audioInterface == nullptr || ogg_page_serialno(&s.page) != s.vorbisStream.serialno) continue;
            const ogg_int64_t granule = ogg_page_granulepos(&s.page);
            audioTime = static_cast<float>(vorbis_granule_time(&s.vorbisDsp, granule));
            endOfStream = ogg_page_eos(&s.page) != 0;
            // After a seek the sound starts on a whole page: the first one is left out.
            if (seekTime.load() == kAwaitingKeyframe && audioPageSkipped == 0) {
                if (granule >= 0) audioPageSkipped = 1;
                continue;
            }
            OgvMutexLock lock(*audioMutex);
            ogg_stream_pagein(&s.vorbisStream, &s.page);
        }
        if (taken && (audioInterface == nullptr || endOfStream || audioTime >= now + kAudioAhead)) return true;
        if (BufferData() == 0) {
            if (autoRestart) {
                Restart();
            } else {
                endOfFile = true;
            }
            return false;
        }
    }
}

void OgvVideoClip::Restart() {
    OgvStreams& s = *streams;
    ReplaceDecoder();
    ogg_stream_reset(&s.theoraStream);
    if (audioInterface != nullptr) {
        OgvMutexLock lock(*audioMutex);
        // The end of the sound stays in the synthesis and is still played.
        ogg_packet packet;
        while (ogg_stream_packetout(&s.vorbisStream, &packet) > 0) {
            if (vorbis_synthesis(&s.vorbisBlock, &packet) == 0)
                vorbis_synthesis_blockin(&s.vorbisDsp, &s.vorbisBlock);
        }
        ogg_stream_reset(&s.vorbisStream);
    }
    ogg_sync_reset(&s.sync);
    dataSource->Seek(0);
    endOfFile = false;
    restarted = true;
}

void OgvVideoClip::DoSeek() {
    float requested = seekTime.load();
    if (requested < 0) return;
    OgvStreams& s = *streams;
    // Before the length is known there is nothing to aim at but the start.
    int target = 0;
    if (duration.load() > 0 && numFrames > 0 && s.theoraDecoder != nullptr)
        target = static_cast<int>(static_cast<float>(numFrames) * requested / duration.load());

    if (target <= 0) {
        Restart();
        // A rewind, not a loop: the clock starts again with the data.
        restarted = false;
        {
            OgvMutexLock lock(*audioMutex);
            // What was read ahead belongs to the old position.
            if (audioInterface != nullptr) vorbis_synthesis_restart(&s.vorbisDsp);
            timer->Seek(0.0f);
        }
        frameQueue->Clear();
        seekKeyframe = -1;
        seekTime.compare_exchange_strong(requested, kNoSeek);
        return;
    }

    endOfFile = false;
    restarted = false;
    frameQueue->Clear();
    ogg_stream_reset(&s.theoraStream);
    ReplaceDecoder();
    // The audio lock covers the sound's state and the clock to the end.
    OgvMutexLock lock(*audioMutex);
    if (audioInterface != nullptr) {
        ogg_stream_reset(&s.vorbisStream);
        vorbis_synthesis_restart(&s.vorbisDsp);
    }
    const int key = SeekPage(target, true);
    if (key != -1) SeekPage(key >= 1 ? key : 0, false);
    seekKeyframe = key;
    float time = static_cast<float>(target) / static_cast<float>(numFrames) * duration.load();

    if (audioInterface != nullptr) {
        // To the first sound page after the time; the video pages on the way are kept.
        for (;;) {
            if (ogg_sync_pageout(&s.sync, &s.page) > 0) {
                if (ogg_page_serialno(&s.page) != s.vorbisStream.serialno) {
                    ogg_stream_pagein(&s.theoraStream, &s.page);
                    continue;
                }
                const float pageTime =
                    static_cast<float>(vorbis_granule_time(&s.vorbisDsp, ogg_page_granulepos(&s.page)));
                if (pageTime > time) {
                    if (vorbis_synthesis_pcmout(&s.vorbisDsp, nullptr) == 0) time = pageTime;
                    break;
                }
            } else if (BufferData() == 0) {
                break;
            }
        }
    }
    timer->Seek(time);
    audioPageSkipped = 0;
    seekTime.compare_exchange_strong(requested, kAwaitingKeyframe);
}

int OgvVideoClip::SeekPage(int targetFrame, bool returnKeyframe) {
    OgvStreams& s = *streams;
    const int serial = s.theoraStream.serialno;
    int64_t low = 0;
    int64_t high = dataSource->Size();
    ogg_int64_t granule = 0;
    bool found = false;
    // The page that ended the last pass is still in the sync state.
    bool pageHeld = false;
    for (int pass = 0; pass < kSeekPasses && !found; ++pass) {
        const int64_t middle = (low + high) / 2;
        ogg_sync_reset(&s.sync);
        dataSource->Seek(static_cast<int32_t>(middle));
        s.page = ogg_page();
        ogg_sync_pageseek(&s.sync, &s.page);
        pageHeld = false;
        bool before = false;  // the pass's page lies before the target
        for (;;) {
            const int result = ogg_sync_pageout(&s.sync, &s.page);
            if (result < 0) continue;
            if (result == 0) {
                if (BufferData() == 0) break;
                continue;
            }
            if (ogg_page_serialno(&s.page) != serial || ogg_page_granulepos(&s.page) < 0) continue;
            granule = ogg_page_granulepos(&s.page);
            pageHeld = true;
            const int64_t frame = th_granule_frame(s.theoraDecoder, granule);
            if (found) {
                if (frame >= targetFrame) break;
                continue;
            }
            before = frame < targetFrame - 1;
            if (before && targetFrame - frame < 10) {
                found = true;
                if (!returnKeyframe) break;
                continue;
            }
            break;
        }
        if (found) break;
        // No page behind the middle counts as lying after the target.
        if (before) {
            low = middle;
        } else {
            high = middle;
        }
    }
    if (returnKeyframe) return static_cast<int>(granule >> s.theoraInfo.keyframe_granule_shift);
    if (pageHeld) {
        ogg_stream_pagein(&s.theoraStream, &s.page);
        th_decode_ctl(s.theoraDecoder, TH_DECCTL_SET_GRANPOS, &granule, sizeof(granule));
    }
    return -1;
}
