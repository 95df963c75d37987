// The battle's section of the savegame: its counters, wave runners, camera eye and
// cooldowns, the level's section and the recording, and the battle rebuilt from it on a
// battle set up for the same map.
#include <strings.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/LevelSaveRecord.h"
#include "Classes/Level/SaveCheck.h"
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

// The recording of the battle so far: on its map, its records of the input types the
// battle records, in step order and none after the saved step; its stamp names only
// the data files a stamp covers.
bool CheckRecording(const CInputMonitor& recording, const std::string& mapName, uint32_t steps) {
    SaveCheck check;
    check.That(mapName == recording.GetMapName())
        .In(recording.GetScore(), 0, savecheck::kMaxGold)
        .In(recording.GetLastFrame(), 0, steps);
    uint32_t previous = 0;
    for (const DemoInput& input : recording.GetRecords()) {
        check.In(input.type, DemoInput::kFirstType, DemoInput::kLastType).In(input.frame, previous, steps);
        previous = input.frame;
    }
    for (const DataStampEntry& entry : recording.GetStamp().GetEntries()) {
        bool known = false;
        for (const char* file : DataStamp::kFiles) known = known || strcasecmp(entry.name.c_str(), file) == 0;
        check.That(known);
    }
    return check.Passed();
}

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
    // Everything is read and checked before the battle takes any of it.
    SavedBattle saved;
    if (!ReadText(stream, saved.mapName) || !ReadInts(stream, {&saved.state, &saved.result, &saved.loadCount}) ||
        stream.ReadUInt32(saved.steps) != 1 || !ReadInts(stream, {&saved.elapsed, &saved.speedMode, &saved.waveIndex}))
        return 0;
    int32_t runners = 0;
    if (stream.ReadInt32(runners) != 1 || runners < 0 ||
        static_cast<int64_t>(runners) * kRunnerBytes > stream.GetBytesLeft())
        return 0;
    // After a victory the wave index names the last wave played: -1 on a map without waves.
    if (!InRange(saved.state, kStarting, kOver) || !InRange(saved.speedMode, 0, 2) ||
        !InRange(saved.waveIndex, -1, runners))
        return 0;
    saved.runners.assign(static_cast<size_t>(runners), WaveRunner());
    for (WaveRunner& runner : saved.runners)
        if (!runner.Load(stream)) return 0;
    if (stream.ReadFloat(saved.eye.x) != 1 || stream.ReadFloat(saved.eye.y) != 1 || stream.ReadFloat(saved.eye.z) != 1)
        return 0;
    if (!ReadInts(stream, {&saved.score, &saved.gold, &saved.warningPending, &saved.summaryShown, &saved.pauseTimeout,
                           &saved.demoPlayback, &saved.demoSaveRequest, &saved.defeatFlag, &saved.waveGold,
                           &saved.bonusGold, &saved.survivalGold}) ||
        !ReadText(stream, saved.newlyAvailableDefender) ||
        !ReadInts(stream, {&saved.waveStartDelay, &saved.summaryTimeout, &saved.endDelay}) ||
        !ReadInts(stream, {&saved.cooldowns[0], &saved.cooldowns[1], &saved.cooldowns[2]}))
        return 0;

    LevelSaveRecord record;
    if (level_->LoadState(record, stream) != 1) return 0;
    const boost::shared_ptr<CInputMonitor> recording(new CInputMonitor(map_name_.c_str()));
    if (recording->ReadBody(stream) != 1) return 0;

    SaveLimits limits;
    limits.steps = saved.steps;
    limits.elapsedMs = saved.elapsed;
    if (!CheckSection(saved) || !CheckRecording(*recording, saved.mapName, saved.steps) ||
        level_->CheckState(record, limits) != 1)
        return 0;

    TakeSection(saved);
    recorder_ = recording;
    PanCamera(Vector3(0.0f, 0.0f, 0.0f));  // held inside the boundary, the camera follows
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

bool CDunmarchGame::CheckSection(const SavedBattle& saved) const {
    using namespace savecheck;
    SaveCheck check;
    // Saved on the battle's map, which set the runners up: the saved ones must be
    // those, each as far as it could have come.
    check.That(saved.mapName == map_name_)
        .In(saved.result, kUndecided, kDefeat)
        .That((saved.state == kOver) == (saved.result != kUndecided))
        .In(saved.loadCount, 0, kMaxTime)
        .In(saved.elapsed, 0, kMaxTime)
        .That(saved.runners.size() == wave_runners_.size())
        .Within(saved.eye.x, -kMaxCoordinate, kMaxCoordinate)
        .Within(saved.eye.y, -kMaxCoordinate, kMaxCoordinate)
        .Within(saved.eye.z, -kMaxCoordinate, kMaxCoordinate)
        .In(saved.score, 0, kMaxGold)
        .In(saved.gold, 0, kMaxGold)
        .Flag(saved.warningPending)
        .Flag(saved.summaryShown)
        .In(saved.pauseTimeout, -kMaxTime, kPauseTimeout)
        .Flag(saved.demoPlayback)
        .Flag(saved.demoSaveRequest)
        .Flag(saved.defeatFlag)
        .In(saved.waveGold, -kMaxGold, kMaxGold)
        .In(saved.bonusGold, -kMaxGold, kMaxGold)
        .In(saved.survivalGold, -kMaxGold, kMaxGold)
        .That(saved.newlyAvailableDefender.empty() || FindDefenderDefinition(saved.newlyAvailableDefender) != nullptr)
        .In(saved.waveStartDelay, 0, kWaveStartDelay)
        .In(saved.summaryTimeout, -kStepOvershoot, kSummaryTimeout)
        .In(saved.endDelay, 0, kEndDelay);
    for (const int32_t cooldown : saved.cooldowns) check.In(cooldown, 0, kMaxTime);
    for (size_t i = 0; i < saved.runners.size() && i < wave_runners_.size(); ++i)
        check.That(saved.runners[i].CouldFollow(wave_runners_[i]));
    return check.Passed();
}

void CDunmarchGame::TakeSection(const SavedBattle& saved) {
    map_name_ = saved.mapName;
    state_ = saved.state;
    result_ = saved.result;
    load_count_ = saved.loadCount;
    step_counter_ = saved.steps;
    elapsed_time_ = saved.elapsed;
    speed_mode_ = saved.speedMode;
    wave_index_ = saved.waveIndex;
    wave_runners_ = saved.runners;
    camera_eye_ = saved.eye;
    score_ = saved.score;
    gold_ = saved.gold;
    warning_pending_ = saved.warningPending;
    summary_shown_ = saved.summaryShown;
    pause_timeout_ = saved.pauseTimeout;
    demo_playback_ = saved.demoPlayback;
    demo_save_request_ = saved.demoSaveRequest;
    defeat_flag_ = saved.defeatFlag;
    wave_gold_ = saved.waveGold;
    bonus_gold_ = saved.bonusGold;
    survival_gold_ = saved.survivalGold;
    newly_available_defender_ = saved.newlyAvailableDefender;
    wave_start_delay_ = saved.waveStartDelay;
    summary_timeout_ = saved.summaryTimeout;
    end_delay_ = saved.endDelay;
    std::copy(saved.cooldowns, saved.cooldowns + 3, spell_cooldowns_);
}
