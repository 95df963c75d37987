// The battle's section of the savegame: its counters, wave runners, camera eye and
// cooldowns, the level's section and the recording, and the battle rebuilt from it on a
// battle set up for the same map.
#include <cstdint>
#include <string>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/LevelSaveRecord.h"
#include "IO/MemoryStream.h"
#include "SceneGraph/Scene.h"

namespace {

// The smallest wave runner entry: seven numbers and the entry count.
const int kRunnerBytes = 8 * 4;

// A text whose length is negative or beyond what is left is refused (the stream's own
// reader takes a negative length for an empty text).
bool ReadText(MemoryStream& stream, std::string& text) {
    int32_t length = 0;
    if (stream.ReadInt32(length) != 1 || length < 0 || length > stream.GetBytesLeft()) return false;
    std::string bytes(static_cast<size_t>(length), '\0');
    if (length > 0 && stream.Read(&bytes[0], length) != 1) return false;
    text.assign(bytes.c_str());
    return true;
}

bool ReadInts(MemoryStream& stream, std::initializer_list<int32_t*> values) {
    for (int32_t* value : values)
        if (stream.ReadInt32(*value) != 1) return false;
    return true;
}

bool InRange(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

}  // namespace

int32_t CDunmarchGame::Save(MemoryStream& stream) const {
    stream.WriteString(map_name_);
    stream.WriteInt32(state_);
    stream.WriteInt32(result_);
    stream.WriteInt32(load_count_);
    stream.WriteUInt32(step_counter_);
    stream.WriteInt32(elapsed_time_);
    stream.WriteInt32(speed_mode_);
    stream.WriteInt32(wave_index_);
    stream.WriteInt32(static_cast<int32_t>(wave_runners_.size()));
    for (const WaveRunner& runner : wave_runners_) runner.Save(stream);
    stream.WriteFloat(camera_eye_.x);
    stream.WriteFloat(camera_eye_.y);
    stream.WriteFloat(camera_eye_.z);
    for (const int32_t value : {score_, gold_, warning_pending_, summary_shown_, pause_timeout_, demo_playback_,
                                demo_save_request_, defeat_flag_, wave_gold_, bonus_gold_, survival_gold_})
        stream.WriteInt32(value);
    stream.WriteString(newly_available_defender_);
    for (const int32_t value : {wave_start_delay_, summary_timeout_, end_delay_}) stream.WriteInt32(value);
    for (const int32_t cooldown : spell_cooldowns_) stream.WriteInt32(cooldown);
    if (level_) level_->SaveState(stream);
    // A battle in playback records nothing: it is saved with an empty recording, and
    // loads as a live battle.
    if (recorder_) recorder_->WriteBody(stream);
    else CInputMonitor(map_name_.c_str()).WriteBody(stream);
    return 1;
}

int32_t CDunmarchGame::Load(MemoryStream& stream) {
    if (!level_) return 0;
    if (!ReadText(stream, map_name_) || !ReadInts(stream, {&state_, &result_, &load_count_}) ||
        stream.ReadUInt32(step_counter_) != 1 || !ReadInts(stream, {&elapsed_time_, &speed_mode_, &wave_index_}))
        return 0;
    int32_t runners = 0;
    if (stream.ReadInt32(runners) != 1 || runners < 0 ||
        static_cast<int64_t>(runners) * kRunnerBytes > stream.GetBytesLeft())
        return 0;
    // After a victory the wave index names the last wave played: -1 on a map without waves.
    if (!InRange(state_, kStarting, kOver) || !InRange(speed_mode_, 0, 2) || !InRange(wave_index_, -1, runners))
        return 0;
    wave_runners_.assign(static_cast<size_t>(runners), WaveRunner());
    for (WaveRunner& runner : wave_runners_)
        if (!runner.Load(stream)) return 0;

    Vector3 eye;
    if (stream.ReadFloat(eye.x) != 1 || stream.ReadFloat(eye.y) != 1 || stream.ReadFloat(eye.z) != 1) return 0;
    camera_eye_ = eye;
    PanCamera(Vector3(0.0f, 0.0f, 0.0f));  // held inside the boundary, the camera follows

    if (!ReadInts(stream, {&score_, &gold_, &warning_pending_, &summary_shown_, &pause_timeout_, &demo_playback_,
                           &demo_save_request_, &defeat_flag_, &wave_gold_, &bonus_gold_, &survival_gold_}) ||
        !ReadText(stream, newly_available_defender_) ||
        !ReadInts(stream, {&wave_start_delay_, &summary_timeout_, &end_delay_}) ||
        !ReadInts(stream, {&spell_cooldowns_[0], &spell_cooldowns_[1], &spell_cooldowns_[2]}))
        return 0;

    LevelSaveRecord record;
    if (level_->LoadState(record, stream) != 1) return 0;
    if (!recorder_) recorder_.reset(new CInputMonitor(map_name_.c_str()));
    if (recorder_->ReadBody(stream) != 1) return 0;
    level_->RestoreState(record);

    demo_playback_ = 0;
    restored_ = 1;
    ++load_count_;
    // The saved speed, the pause with the time-out it had left.
    ReflagSpeedButtons();
    if (scene_) {
        if (speed_mode_ == 0) scene_->Pause();
        else scene_->Resume();
    }
    return 1;
}
