// The whole-file read of an effect: the version word and its thresholds, the layout of
// strings, lists, rows and old light settings (bytes built by hand), every field read
// into its own member (in every version), write-read-write round trips, and files that
// are short or whose counts and lengths do not fit.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "EffectFixtures.h"
#include "particles/CParticlesMesh.h"
#include "particles/CSArchive.h"
#include "particles/ParticleStepRates.h"
#include "tools/prt/PrtWriter.h"

namespace {

using effectfixtures::Add;
using effectfixtures::BuildSample;
using effectfixtures::Bytes;
using effectfixtures::ReadEffect;
using effectfixtures::ReadResult;
using effectfixtures::SettingsBlock;
using effectfixtures::WriteEffect;

TEST(EffectFile, VersionWordBytes) {
    struct Case {
        uint8_t bytes[4];
        int32_t version;
    };
    const Case cases[] = {
        {{0, 0, 0, 5}, 5}, {{5, 0, 0, 0}, 0}, {{0xFF, 0xEE, 0, 3}, 3}, {{0, 0, 1, 2}, 258}, {{0, 5, 0, 0}, 0}};
    ScratchFolder folder;
    for (const Case& c : cases) {
        const std::string path = folder.Write("word.prt", std::string(reinterpret_cast<const char*>(c.bytes), 4));
        CSArchive archive(path.c_str());
        uint32_t word = 0;
        ASSERT_TRUE(archive.ReadUInt32(word));
        EXPECT_EQ(ParticleEffectVersion(word), c.version) << std::hex << word;
        EXPECT_EQ(PrtWriter::VersionWord(c.version) >> 16, word >> 16 & 0xFFFF) << c.version;
    }
}

TEST(EffectFile, StringsAndListsAsStored) {
    ScratchFolder folder;
    const std::string path = folder.Write("strings.bin", Bytes()
                                                             .Str("")  // an empty string: its length word only
                                                             .U32(42)
                                                             .List({"ab", ""}, 0xDEADBEEF)  // the second word ignored
                                                             .List({}, 7)
                                                             .Str("tail")
                                                             .data);
    CSArchive archive(path.c_str());
    CSString empty("old text");
    ASSERT_TRUE(archive.ReadString(empty));
    EXPECT_EQ(empty.GetBuffer(), nullptr);
    EXPECT_EQ(empty.GetCapacity(), 0);
    EXPECT_EQ(archive.GetPosition(), 4u);
    uint32_t word = 0;
    ASSERT_TRUE(archive.ReadUInt32(word));
    EXPECT_EQ(word, 42u);

    CSStringList list = {CSString("stale")};
    ASSERT_TRUE(archive.ReadStringList(list));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_STREQ(list[0].c_str(), "ab");
    EXPECT_EQ(list[0].GetCapacity(), 3);
    EXPECT_EQ(list[1].GetBuffer(), nullptr);
    EXPECT_EQ(archive.GetPosition(), 8u + 8u + 6u + 4u);
    ASSERT_TRUE(archive.ReadStringList(list));
    EXPECT_TRUE(list.empty());
    CSString tail;
    ASSERT_TRUE(archive.ReadString(tail));
    EXPECT_STREQ(tail.c_str(), "tail");
    EXPECT_EQ(archive.GetBytesLeft(), 0u);
    EXPECT_FALSE(archive.ReadUInt32(word));  // past the end: a failed read of zeros
    EXPECT_EQ(word, 0u);
    EXPECT_FALSE(archive.IsGood());
}

// version word, name, settings, three zero counts, the box; then `trailing`.
std::string EmptyEffect(int32_t version, const std::string& trailing = "") {
    Bytes b;
    b.U32(PrtWriter::VersionWord(version)).Str("nothing");
    SettingsBlock(b, version, 1).Words(3).F32(-1).F32(-2).F32(-3).F32(0).F32(1).F32(2).F32(3).F32(4);
    b.data += trailing;
    return b.data;
}

TEST(EffectFile, EffectWithoutBlocks) {
    ScratchFolder folder;
    for (int32_t version : {2, 3, 4, 5}) {
        for (const std::string& trailing : {std::string(), std::string("\x01\x02\x03 trailing bytes", 18)}) {
            const std::string bytes = EmptyEffect(version, trailing);
            CParticlesMesh effect;
            const ReadResult read = ReadEffect(folder.Write("empty.prt", bytes), effect);
            ASSERT_TRUE(read.ok) << version;
            EXPECT_EQ(read.position, bytes.size() - trailing.size()) << version;  // nothing after the box
            EXPECT_STREQ(effect.GetEffectName().c_str(), "nothing");
            EXPECT_TRUE(effect.IsRescalable());
            EXPECT_TRUE(effect.m_arrEmiterParams.empty() && effect.m_arrParticleParams.empty() &&
                        effect.m_arrEntries.empty());
            EXPECT_EQ(effect.m_vBoxMin.x, -1.0f);
            EXPECT_EQ(effect.m_vBoxMax.w, 4.0f);
        }
    }
}

// An emitter block of format version 2 by hand: old light settings of 8 bytes.
std::string OldEmitterBlock(uint32_t oldLightFlag, float oldLightValue) {
    Bytes b;
    b.Str("em").Str("").F32(2.0f);           // 1-3; no frame count before version 5
    b.I32(1).List({"src"}).I32(2);           // 5-7
    b.Words(8).I32(0x3F).Words(2).Str("");   // 8-19
    b.Words(11);                             // 20-30
    b.U32(oldLightFlag).F32(oldLightValue);  // 31
    b.F32(32.0f).Words(24);                  // 32-56
    b.EmptyRows(44).Words(22).I32(0x5A);     // 57-60
    return b.data;
}

TEST(EffectFile, OldLightSettings) {
    ScratchFolder folder;
    struct Case {
        uint32_t flagWord;
        int32_t lightFlags;
    };
    for (const Case& c : {Case{1, 0x10}, Case{0x100, 0x10}, Case{0, 0}}) {
        Bytes file;
        file.U32(PrtWriter::VersionWord(2)).Str("lights");
        SettingsBlock(file, 2).U32(1);
        file.data += OldEmitterBlock(c.flagWord, 0.5f);
        file.Words(2).Words(8);  // no particle blocks or entries, the box
        CParticlesMesh effect;
        ASSERT_TRUE(ReadEffect(folder.Write("old.prt", file.data), effect).ok);
        ASSERT_EQ(effect.m_arrEmiterParams.size(), 1u);
        const CEmiterParams& e = *effect.m_arrEmiterParams[0];
        EXPECT_EQ(e.LightFlags, c.lightFlags);
        const float values[6] = {0.5f, 1.0f, 45.0f, 0.0f, 200.0f, 100.0f};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(e.LightValues[i], values[i]) << i;
        EXPECT_EQ(e.LightName.GetLength(), 0);
        EXPECT_EQ(e.Value11, 32.0f);  // the field after the 8 bytes
        EXPECT_EQ(e.BoxFaceMask, 0x3F);
        EXPECT_EQ(e.DurationFrames, 60);
        EXPECT_EQ(e.ChannelMask, 0x5A);
    }
}

// A particle block of format version 4 by hand: no frame count, a second name list
// that is dropped, and fields 75 and 76 after the batch sort key.
TEST(EffectFile, ParticleBlockLayout) {
    Bytes file;
    file.U32(PrtWriter::VersionWord(4)).Str("layout");
    SettingsBlock(file, 4).U32(0).U32(1);
    file.Str("flake").Str("").F32(0.5f);                               // 1-3
    file.I32(1).I32(8).Str("").Words(5).U32(1);                        // 5-13
    file.F32(14.0f).F32(15.0f).I32(16);                                // 14-16
    file.List({"a.dds", "b.dds"}).List({"dropped"}, 9);                // 17, 18
    file.I32(1).Words(12).U32(1);                                      // 19-32
    file.F32(33.0f).Words(36);                                         // 33-69
    file.EmptyRows(28, 1.0f).Words(14).I32(0x8).I32(7).U32(5).U32(6);  // 70-76
    file.U32(0).Words(8);
    ScratchFolder folder;
    CParticlesMesh effect;
    ASSERT_TRUE(ReadEffect(folder.Write("particle.prt", file.data), effect).ok);
    ASSERT_EQ(effect.m_arrParticleParams.size(), 1u);
    const CParticleParams& p = *effect.m_arrParticleParams[0];
    EXPECT_EQ(p.LifeFrames, 15);
    EXPECT_EQ(p.ParticleKind, 8);
    EXPECT_EQ(p.OffsetRelativeToSize, 1);
    EXPECT_EQ(p.StripWidth, 14.0f);
    EXPECT_EQ(p.ChainMode, 16);
    ASSERT_EQ(p.TextureNames.size(), 2u);
    EXPECT_STREQ(p.TextureNames[1].c_str(), "b.dds");
    EXPECT_EQ(p.WholeTexture, 1);
    EXPECT_EQ(p.AlphaBlended, 1);
    EXPECT_EQ(p.AtlasRowScale, 33.0f);
    EXPECT_EQ(p.Tracks[27].m_fConstant, 1.0f);
    EXPECT_EQ(p.Flags, 0x8);
    EXPECT_EQ(p.BatchSortKey, 7);
    EXPECT_EQ(p.Flag10, 1);
    EXPECT_EQ(p.Flag11, 1);
}

TEST(EffectFile, FrameCountsByVersion) {
    struct Case {
        int32_t version;
        float seconds;
        int32_t stored, frames;
    };
    const Case cases[] = {
        {4, 2.0f, 99, 60}, {4, 1.65f, 99, 49}, {4, 1.66f, 99, 50},
        {2, 0.5f, 99, 15}, {5, 1.65f, 99, 99},  // a version-5 file keeps its count, even when it disagrees
        {5, 2.0f, 0, 0},
    };
    ScratchFolder folder;
    for (const Case& c : cases) {
        CParticlesMesh written;
        CEmiterParams* e = Add(written.m_arrEmiterParams);
        e->Duration = c.seconds;
        e->DurationFrames = c.stored;
        CParticleParams* p = Add(written.m_arrParticleParams);
        p->Life = c.seconds;
        p->LifeFrames = c.stored;
        CParticlesMesh effect;
        ASSERT_TRUE(ReadEffect(WriteEffect(folder, "frames.prt", written, c.version), effect).ok);
        EXPECT_EQ(effect.m_arrEmiterParams[0]->DurationFrames, c.frames) << c.version << " " << c.seconds;
        EXPECT_EQ(effect.m_arrParticleParams[0]->LifeFrames, c.frames) << c.version << " " << c.seconds;
    }
}

TEST(EffectFile, CurvePointsDroppedNamesKept) {
    CParticlesMesh written;
    CSCurvePoint point = {0.0f, 1.0f, 3.0f, 3.0f, 0};
    written.m_EffectParams.Curves[11].m_strName = "last";
    written.m_EffectParams.Curves[11].m_arrPoints.Append(point);
    CEmiterParams* e = Add(written.m_arrEmiterParams);
    e->Curves[0].m_strName = "offset x";
    e->Curves[0].m_arrPoints.Append(point);
    e->Curves[0].m_arrPoints.Append(point);
    CParticleParams* p = Add(written.m_arrParticleParams);
    p->Curves[27].m_strName = "speed";
    p->Curves[27].m_arrPoints.Append(point);
    ScratchFolder folder;
    CParticlesMesh effect;
    ASSERT_TRUE(ReadEffect(WriteEffect(folder, "curves.prt", written, 5), effect).ok);
    const CSParamCurve* curves[] = {&effect.m_EffectParams.Curves[11], &effect.m_arrEmiterParams[0]->Curves[0],
                                    &effect.m_arrParticleParams[0]->Curves[27]};
    const char* names[] = {"last", "offset x", "speed"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(curves[i]->m_strName.c_str(), names[i]);
        EXPECT_EQ(curves[i]->m_arrPoints.GetCount(), 0u);
        EXPECT_EQ(curves[i]->m_arrPoints.GetCapacity(), 0u);
    }
}

// Writes every field of the walk with a value of its own (bool32 fields as raw words of
// any size, lists with non-zero ignored words, curves with points, rows constant with
// odd flag bytes or keyed), and lists what a reader must hold for each field.
class PatternSink : public PrtByteSink {
public:
    void Begin(const char* block, int32_t index, const CSString&) override {
        expected.push_back(std::string(block) + " " + std::to_string(index));
    }
    void Word(const char* field, uint32_t value) override {
        PrtByteSink::Word(field, value);
        expected.push_back(std::string(field) + "=" + std::to_string(value));
    }
    void Int32(const char* field, int32_t, bool stored) override {
        if (!stored) return;
        const int32_t value = Next() * 7 - 300;
        PrtByteSink::Int32(field, value, true);
        expected.push_back(std::string(field) + "=" + std::to_string(value));
    }
    void Float(const char* field, float, bool stored) override {
        if (!stored) return;
        const float value = static_cast<float>(Next()) + 0.25f;
        PrtByteSink::Float(field, value, true);
        expected.push_back(std::string(field) + "=" + std::to_string(value));
    }
    void Bool32(const char* field, uint8_t, bool stored) override {
        if (!stored) return;
        const int32_t n = Next();
        const uint32_t raw = n % 3 == 0 ? 0u : static_cast<uint32_t>(n) << (n % 4 * 8);
        Append(raw);
        expected.push_back(std::string(field) + "=" + (raw != 0 ? "1" : "0"));
    }
    void String(const char* field, const CSString&, bool stored) override {
        if (!stored) return;
        const std::string text = Next() % 5 == 0 ? std::string() : "s" + std::to_string(counter);
        PrtByteSink::String(field, CSString(text.c_str()), true);
        expected.push_back(std::string(field) + "=" + text);
    }
    void StringList(const char* field, const CSStringList&) override {
        const std::string a = "l" + std::to_string(Next()), b = "m" + std::to_string(counter);
        Append(2);
        Append(0xDEADBEEF);
        AppendString(CSString(a.c_str()));
        AppendString(CSString(b.c_str()));
        // The second name list of a particle block is read and dropped.
        expected.push_back(std::string(field) + "=" + (std::string(field) == "SecondNameList" ? "" : a + "," + b));
    }
    void Vector4(const char* field, const CSVector4&) override {
        const float base = static_cast<float>(Next());
        const CSVector4 value(base, base + 0.5f, -base, base * 2.0f);
        PrtByteSink::Vector4(field, value);
        expected.push_back(std::string(field) + "=" + Text(value));
    }
    void Curve(const char* field, const CSParamCurve&) override {
        CSParamCurve curve;
        curve.m_strName = CSString(("c" + std::to_string(Next())).c_str());
        curve.m_arrPoints.Append(CSCurvePoint{0.0f, 1.0f, 3.0f, 3.0f, 0xABCDu});
        PrtByteSink::Curve(field, curve);
        expected.push_back(std::string(field) + "=" + curve.m_strName.c_str() + " points 0");
    }
    void Track(const char* field, const CSParamTrack&) override {
        const int32_t n = Next();
        CSParamTrack track;
        if (n % 2 == 0) {
            track.m_bConstant = static_cast<uint8_t>(n % 7 + 1);  // kept as read
            track.m_fConstant = static_cast<float>(n) * 0.5f;
        } else {
            for (int k = 0; k < n % 4; ++k) track.m_arrKeys.Append(static_cast<float>(n + k));
        }
        PrtByteSink::Track(field, track);
        expected.push_back(std::string(field) + "=" + TrackText(track));
    }
    void Count(const char* field, uint32_t count) override {
        PrtByteSink::Count(field, count);
        expected.push_back(std::string(field) + "=" + std::to_string(count));
    }

    static std::string Text(const CSVector4& v) {
        return std::to_string(v.x) + "," + std::to_string(v.y) + "," + std::to_string(v.z) + "," + std::to_string(v.w);
    }
    static std::string TrackText(const CSParamTrack& track) {
        std::string text = "flag " + std::to_string(track.m_bConstant) + " " + std::to_string(track.m_fConstant);
        for (uint32_t i = 0; i < track.m_arrKeys.GetCount(); ++i) text += " " + std::to_string(track.m_arrKeys[i]);
        return text;
    }

    std::vector<std::string> expected;

private:
    int32_t Next() { return ++counter; }
    int32_t counter = 0;
};

// What an effect holds, field by field, in the walk's terms.
class RecordingSink : public PrtSink {
public:
    void Begin(const char* block, int32_t index, const CSString&) override {
        fields.push_back(std::string(block) + " " + std::to_string(index));
    }
    void Word(const char* field, uint32_t value) override {
        fields.push_back(std::string(field) + "=" + std::to_string(value));
    }
    void Int32(const char* field, int32_t value, bool stored) override {
        if (stored) fields.push_back(std::string(field) + "=" + std::to_string(value));
    }
    void Float(const char* field, float value, bool stored) override {
        if (stored) fields.push_back(std::string(field) + "=" + std::to_string(value));
    }
    void Bool32(const char* field, uint8_t value, bool stored) override {
        if (stored) fields.push_back(std::string(field) + "=" + std::to_string(value));
    }
    void String(const char* field, const CSString& value, bool stored) override {
        if (stored) fields.push_back(std::string(field) + "=" + value.c_str());
    }
    void StringList(const char* field, const CSStringList& value) override {
        std::string text;
        for (const CSString& s : value) text += (text.empty() ? "" : ",") + std::string(s.c_str());
        fields.push_back(std::string(field) + "=" + text);
    }
    void Vector4(const char* field, const CSVector4& value) override {
        fields.push_back(std::string(field) + "=" + PatternSink::Text(value));
    }
    void Curve(const char* field, const CSParamCurve& curve) override {
        fields.push_back(std::string(field) + "=" + curve.m_strName.c_str() + " points " +
                         std::to_string(curve.m_arrPoints.GetCount()));
    }
    void Track(const char* field, const CSParamTrack& track) override {
        fields.push_back(std::string(field) + "=" + PatternSink::TrackText(track));
    }
    void Count(const char* field, uint32_t count) override {
        fields.push_back(std::string(field) + "=" + std::to_string(count));
    }

    std::vector<std::string> fields;
};

// Two of each block, so that a block that reads too much or too little shows in the next.
void TwoOfEach(CParticlesMesh& effect) {
    for (int i = 0; i < 2; ++i) {
        Add(effect.m_arrEmiterParams);
        Add(effect.m_arrParticleParams);
        Add(effect.m_arrEntries);
    }
}

TEST(EffectFile, EveryFieldReadsIntoItsMember) {
    CParticlesMesh shape;
    TwoOfEach(shape);
    ScratchFolder folder;
    // 0x00000005 is the word of bytes 05 00 00 00: format version 0, every old rule.
    for (uint32_t word : {PrtWriter::VersionWord(2), PrtWriter::VersionWord(3), PrtWriter::VersionWord(4),
                          PrtWriter::VersionWord(5), 0x00000005u, PrtWriter::VersionWord(300)}) {
        PatternSink pattern;
        PrtWriter(word).Walk(shape, pattern);
        CParticlesMesh effect;
        const std::vector<uint8_t>& bytes = pattern.GetBytes();
        const ReadResult read =
            ReadEffect(folder.Write("pattern.prt", std::string(bytes.begin(), bytes.end())), effect);
        ASSERT_TRUE(read.ok) << std::hex << word;
        EXPECT_EQ(read.position, bytes.size());
        RecordingSink held;
        PrtWriter(read.versionWord).Walk(effect, held);
        ASSERT_EQ(held.fields.size(), pattern.expected.size());
        for (size_t i = 0; i < held.fields.size(); ++i) {
            ASSERT_EQ(held.fields[i], pattern.expected[i]) << "field " << i << " of word " << std::hex << word;
        }
    }
}

TEST(EffectFile, WriteReadWriteGivesTheSameBytes) {
    CParticlesMesh sample;
    BuildSample(sample);
    ScratchFolder folder;
    for (uint32_t word : {PrtWriter::VersionWord(2), PrtWriter::VersionWord(3), PrtWriter::VersionWord(4),
                          PrtWriter::VersionWord(5), 0x00000005u}) {
        const std::vector<uint8_t> first = PrtWriter(word).Write(sample);
        CParticlesMesh effect;
        ASSERT_TRUE(ReadEffect(folder.Write("sample.prt", std::string(first.begin(), first.end())), effect).ok);
        EXPECT_EQ(PrtWriter(word).Write(effect), first) << std::hex << word;
    }
}

// The effect as a fresh one: a failed read keeps none of the file.
void ExpectUntouched(const CParticlesMesh& effect, const std::string& what) {
    EXPECT_TRUE(effect.m_arrEmiterParams.empty()) << what;
    EXPECT_TRUE(effect.m_arrParticleParams.empty()) << what;
    EXPECT_TRUE(effect.m_arrEntries.empty()) << what;
    EXPECT_EQ(effect.GetEffectName().GetLength(), 0) << what;
    EXPECT_EQ(effect.m_vBoxMin.x, -5.0f) << what;
    EXPECT_EQ(effect.m_EffectParams.Width, 0) << what;
}

TEST(EffectFile, ShortFilesDoNotRead) {
    ScratchFolder folder;
    CParticlesMesh sample;
    BuildSample(sample);
    for (int32_t version : {2, 5}) {
        const std::vector<uint8_t> whole = PrtWriter(PrtWriter::VersionWord(version)).Write(sample);
        for (size_t length = 0; length < whole.size(); ++length) {
            CParticlesMesh effect;
            const std::string path = folder.Write("short.prt", std::string(whole.begin(), whole.begin() + length));
            const ReadResult read = ReadEffect(path, effect);
            EXPECT_FALSE(read.ok) << "version " << version << " length " << length;
            ExpectUntouched(effect, "length " + std::to_string(length));
            if (read.ok) break;
        }
    }
    CParticlesMesh missing;
    EXPECT_FALSE(ReadEffect(folder / "missing.prt", missing).ok);
    ExpectUntouched(missing, "missing");
}

TEST(EffectFile, CountsAndLengthsBeyondTheFile) {
    const uint32_t huge = 0xFFFFFFFF;
    // An entry whose fields are read up to its child name list.
    auto entryUpToChildren = [](Bytes& b) { b.Str("e").Str("").Str("").Str("").Words(6).Words(7); };
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<Case> cases;
    {
        Bytes b;
        b.U32(PrtWriter::VersionWord(5)).U32(huge).Str("name");
        cases.push_back({"effect name length", b.data});
    }
    {
        Bytes b;
        b.U32(PrtWriter::VersionWord(5)).Str("").Words(17).U32(huge).U32(0).Str("");
        cases.push_back({"curve point count", b.data});
    }
    {
        Bytes b;
        b.U32(PrtWriter::VersionWord(5)).Str("").Words(17);
        for (int i = 0; i < 12; ++i) b.U32(0).U32(0).Str("");
        b.U32(0x40000000).U32(0).Byte(0).F32(0);
        cases.push_back({"track key count", b.data});
    }
    for (uint32_t count : {huge, 1000u}) {
        Bytes b;
        b.U32(PrtWriter::VersionWord(5)).Str("");
        SettingsBlock(b, 5).U32(count).Words(8);
        cases.push_back({"emitter block count", b.data});
    }
    {
        Bytes b;
        b.U32(PrtWriter::VersionWord(5)).Str("");
        SettingsBlock(b, 5).U32(0).U32(0).U32(1);
        entryUpToChildren(b);
        b.U32(huge).U32(0).Words(2).Words(8);
        cases.push_back({"child name count", b.data});
    }
    {
        Bytes b;
        b.U32(PrtWriter::VersionWord(5)).Str("");
        SettingsBlock(b, 5).U32(0).U32(0).U32(1);
        entryUpToChildren(b);
        b.U32(1).U32(0).U32(huge).Words(2).Words(8);
        cases.push_back({"child name length", b.data});
    }
    ScratchFolder folder;
    for (const Case& c : cases) {
        CParticlesMesh effect;
        EXPECT_FALSE(ReadEffect(folder.Write("bad.prt", c.bytes), effect).ok) << c.what;
        ExpectUntouched(effect, c.what);
    }

    // The same entry with a child name that fits reads.
    Bytes good;
    good.U32(PrtWriter::VersionWord(5)).Str("");
    SettingsBlock(good, 5).U32(0).U32(0).U32(1);
    entryUpToChildren(good);
    good.List({"child"}).Words(2).Words(8);
    CParticlesMesh effect;
    ASSERT_TRUE(ReadEffect(folder.Write("good.prt", good.data), effect).ok);
    ASSERT_EQ(effect.m_arrEntries.size(), 1u);
    EXPECT_STREQ(effect.m_arrEntries[0]->ChildNames[0].c_str(), "child");
}

}  // namespace
