#include "platform/NullSoundSystem.h"
#include "platform/OggVorbisDecoder.h"
#include "platform/OpenALSoundSystem.h"
#include "support/LoopbackAudio.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

constexpr int kFrames = 8820; // 0.2 s

// The mixer eases into new gains; measure after it has settled.
double SettledRms(OpenALSoundSystem& system)
{
    LoopbackAudio::Render(system, 4096);
    return LoopbackAudio::Rms(LoopbackAudio::Render(system, kFrames));
}

class OpenALSoundSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        system = LoopbackAudio::Open(64);
        if (!system)
            GTEST_SKIP() << "OpenAL Soft without loopback support";
        tone = dir.File("tone1k.ogg");
        ASSERT_TRUE(LoopbackAudio::WriteTone(tone, 1000.0f, 1.0f));
        system->SetListener({0, 0, 0}, {0, 0, 1}, {0, 1, 0});
    }

    SoundChannelId PlayAt(float x, float y, unsigned flags = SOUND_3D | SOUND_LOOP)
    {
        SoundHandle s = system->CreateSound(tone, flags);
        EXPECT_NE(s, kNoSound);
        system->SetSoundMinMaxDistance(s, 64.0f, 10000.0f);
        SoundChannelId ch = system->PlaySound(s, system->GetMasterGroup(), true);
        system->SetChannelPosition(ch, {x, y, 0.0f});
        system->SetChannelPaused(ch, false);
        return ch;
    }

    TempDir dir;
    std::string tone;
    std::unique_ptr<OpenALSoundSystem> system;
};

TEST_F(OpenALSoundSystemTest, SourceOnTheRightIsLouderOnTheRight)
{
    PlayAt(200.0f, 0.0f);
    auto out = LoopbackAudio::Render(*system, kFrames);
    EXPECT_GT(LoopbackAudio::Rms(out, 1), 2.0 * LoopbackAudio::Rms(out, 0));
    EXPECT_GT(LoopbackAudio::Rms(out, 1), 0.01);
}

TEST_F(OpenALSoundSystemTest, SourceOnTheLeftIsLouderOnTheLeft)
{
    PlayAt(-200.0f, 0.0f);
    auto out = LoopbackAudio::Render(*system, kFrames);
    EXPECT_GT(LoopbackAudio::Rms(out, 0), 2.0 * LoopbackAudio::Rms(out, 1));
}

TEST_F(OpenALSoundSystemTest, FlatSoundsPlayCentredWhereverTheListenerIs)
{
    system->SetListener({5000, 5000, 900}, {0, 0, 1}, {0, 1, 0});
    SoundHandle s = system->CreateSound(tone, SOUND_LOOP);
    ASSERT_NE(system->PlaySound(s, system->GetMasterGroup(), false), kNoChannel);
    auto out = LoopbackAudio::Render(*system, kFrames);
    double l = LoopbackAudio::Rms(out, 0), r = LoopbackAudio::Rms(out, 1);
    EXPECT_GT(l, 0.05);
    EXPECT_NEAR(l, r, 0.1 * l);
}

TEST_F(OpenALSoundSystemTest, DistanceBeyondTheMinimumAttenuates)
{
    SoundChannelId near = PlayAt(64.0f, 0.0f);
    double nearRms = LoopbackAudio::Rms(LoopbackAudio::Render(*system, kFrames));
    system->StopChannel(near);
    PlayAt(640.0f, 0.0f);
    double farRms = LoopbackAudio::Rms(LoopbackAudio::Render(*system, kFrames));
    // Inverse roll-off: ten times the minimum distance is a tenth of the level.
    EXPECT_NEAR(farRms / nearRms, 0.1, 0.03);
}

TEST_F(OpenALSoundSystemTest, GroupPitchTwoDoublesTheFrequency)
{
    SoundGroupHandle g = system->CreateChannelGroup();
    SoundHandle s = system->CreateSound(tone, SOUND_LOOP);
    system->PlaySound(s, g, false);
    EXPECT_NEAR(LoopbackAudio::Frequency(LoopbackAudio::Render(*system, kFrames)), 1000.0, 30.0);
    system->SetGroupPitch(g, 2.0f);
    EXPECT_NEAR(LoopbackAudio::Frequency(LoopbackAudio::Render(*system, kFrames)), 2000.0, 60.0);
}

TEST_F(OpenALSoundSystemTest, GroupAndMasterVolumesMultiply)
{
    SoundGroupHandle g = system->CreateChannelGroup();
    SoundHandle s = system->CreateSound(tone, SOUND_LOOP);
    SoundChannelId ch = system->PlaySound(s, g, false);
    system->SetChannelVolume(ch, 0.8f);
    double full = SettledRms(*system);
    system->SetGroupVolume(g, 0.5f);
    double half = SettledRms(*system);
    system->SetGroupVolume(system->GetMasterGroup(), 0.5f);
    double quarter = SettledRms(*system);
    EXPECT_NEAR(half / full, 0.5, 0.03);
    EXPECT_NEAR(quarter / full, 0.25, 0.03);
}

TEST_F(OpenALSoundSystemTest, PausedGroupIsSilentAndResumes)
{
    SoundGroupHandle g = system->CreateChannelGroup();
    SoundHandle s = system->CreateSound(tone, SOUND_LOOP);
    SoundChannelId ch = system->PlaySound(s, g, false);
    system->SetGroupPaused(g, true);
    EXPECT_LT(LoopbackAudio::Rms(LoopbackAudio::Render(*system, kFrames)), 1e-6);
    EXPECT_TRUE(system->IsChannelPlaying(ch));
    system->SetGroupPaused(g, false);
    EXPECT_GT(LoopbackAudio::Rms(LoopbackAudio::Render(*system, kFrames)), 0.05);
}

TEST_F(OpenALSoundSystemTest, StoppingAGroupStopsItsChannelsOnly)
{
    SoundGroupHandle g = system->CreateChannelGroup();
    SoundHandle s = system->CreateSound(tone, SOUND_LOOP);
    SoundChannelId a = system->PlaySound(s, g, false);
    SoundChannelId b = system->PlaySound(s, g, false);
    SoundChannelId other = system->PlaySound(s, system->GetMasterGroup(), false);
    system->StopGroup(g);
    EXPECT_FALSE(system->IsChannelPlaying(a));
    EXPECT_FALSE(system->IsChannelPlaying(b));
    EXPECT_TRUE(system->IsChannelPlaying(other));
    system->StopGroup(system->GetMasterGroup());
    EXPECT_FALSE(system->IsChannelPlaying(other));
    EXPECT_LT(LoopbackAudio::Rms(LoopbackAudio::Render(*system, kFrames)), 1e-6);
}

TEST_F(OpenALSoundSystemTest, MutedChannelIsSilent)
{
    SoundHandle s = system->CreateSound(tone, SOUND_LOOP);
    SoundChannelId ch = system->PlaySound(s, system->GetMasterGroup(), false);
    system->SetChannelMute(ch, true);
    EXPECT_LT(LoopbackAudio::Rms(LoopbackAudio::Render(*system, kFrames)), 1e-6);
}

TEST_F(OpenALSoundSystemTest, OneShotEndsAndItsHandleGoesStale)
{
    std::string shortTone = dir.File("short.ogg");
    ASSERT_TRUE(LoopbackAudio::WriteTone(shortTone, 500.0f, 0.05f));
    SoundHandle s = system->CreateSound(shortTone, SOUND_DEFAULT);
    SoundChannelId ch = system->PlaySound(s, system->GetMasterGroup(), false);
    EXPECT_TRUE(system->IsChannelPlaying(ch));
    LoopbackAudio::Render(*system, kFrames);
    system->Update();
    EXPECT_FALSE(system->IsChannelPlaying(ch));
    // The slot is reused; the old handle must not reach the new channel.
    SoundChannelId next = system->PlaySound(system->CreateSound(tone, SOUND_LOOP), system->GetMasterGroup(), false);
    system->SetChannelVolume(ch, 0.0f);
    system->StopChannel(ch);
    EXPECT_TRUE(system->IsChannelPlaying(next));
    EXPECT_GT(LoopbackAudio::Rms(LoopbackAudio::Render(*system, kFrames)), 0.05);
}

TEST_F(OpenALSoundSystemTest, StreamPlaysThroughRefillsAndLoops)
{
    std::string music = dir.File("music.ogg");
    ASSERT_TRUE(LoopbackAudio::WriteTone(music, 440.0f, 0.5f, 44100));
    SoundHandle s = system->CreateSound(music, SOUND_STREAM | SOUND_LOOP);
    ASSERT_NE(s, kNoSound);
    SoundChannelId ch = system->PlaySound(s, system->GetMasterGroup(), false, 0);
    auto out = LoopbackAudio::Render(*system, LoopbackAudio::kRate * 2, 1024);
    std::vector<float> last(out.end() - LoopbackAudio::kRate / 2, out.end());
    EXPECT_GT(LoopbackAudio::Rms(last), 0.05);
    EXPECT_TRUE(system->IsChannelPlaying(ch));

    system->SetChannelLoop(ch, false);
    LoopbackAudio::Render(*system, LoopbackAudio::kRate, 1024);
    system->Update();
    EXPECT_FALSE(system->IsChannelPlaying(ch));
}

TEST_F(OpenALSoundSystemTest, FullPoolTakesTheLeastImportantOldestChannel)
{
    system.reset();
    system = LoopbackAudio::Open(2);
    ASSERT_TRUE(system);
    SoundHandle s = system->CreateSound(tone, SOUND_LOOP);
    SoundChannelId a = system->PlaySound(s, system->GetMasterGroup(), false, 128);
    SoundChannelId b = system->PlaySound(s, system->GetMasterGroup(), false, 128);
    SoundChannelId c = system->PlaySound(s, system->GetMasterGroup(), false, 128);
    EXPECT_FALSE(system->IsChannelPlaying(a));
    EXPECT_TRUE(system->IsChannelPlaying(b));
    EXPECT_TRUE(system->IsChannelPlaying(c));

    system->SetChannelPriority(b, 10);
    system->SetChannelPriority(c, 0);
    // Nothing less important to take: the new play is dropped, not the music.
    EXPECT_EQ(system->PlaySound(s, system->GetMasterGroup(), false, 128), kNoChannel);
    EXPECT_EQ(system->GetLastResult(), SOUND_ERR_NO_CHANNEL);
    SoundChannelId d = system->PlaySound(s, system->GetMasterGroup(), false, 5);
    EXPECT_NE(d, kNoChannel);
    EXPECT_FALSE(system->IsChannelPlaying(b));
    EXPECT_TRUE(system->IsChannelPlaying(c));
    EXPECT_LE(system->GetSourceCount(), 2u);
}

TEST_F(OpenALSoundSystemTest, FullPoolReusesAnEndedOneShotBeforeCuttingAPlayingSound)
{
    system.reset();
    system = LoopbackAudio::Open(2);
    ASSERT_TRUE(system);
    std::string shortTone = dir.File("short.ogg");
    ASSERT_TRUE(LoopbackAudio::WriteTone(shortTone, 500.0f, 0.05f));
    SoundHandle loop = system->CreateSound(tone, SOUND_LOOP);
    SoundChannelId music = system->PlaySound(loop, system->GetMasterGroup(), false, 128);
    SoundChannelId shot = system->PlaySound(system->CreateSound(shortTone, SOUND_DEFAULT), system->GetMasterGroup(), false, 128);
    LoopbackAudio::Render(*system, kFrames);
    // No Update since the shot ended: the full pool must still find its slot.
    SoundChannelId next = system->PlaySound(loop, system->GetMasterGroup(), false, 128);
    EXPECT_NE(next, kNoChannel);
    EXPECT_TRUE(system->IsChannelPlaying(music));
    EXPECT_FALSE(system->IsChannelPlaying(shot));
    system->Update();
    // Both slots hold playing sounds now: the next play takes the older one.
    SoundChannelId last = system->PlaySound(loop, system->GetMasterGroup(), false, 128);
    EXPECT_NE(last, kNoChannel);
    EXPECT_FALSE(system->IsChannelPlaying(music));
    EXPECT_TRUE(system->IsChannelPlaying(next));
}

TEST_F(OpenALSoundSystemTest, BadFilesFailCleanly)
{
    EXPECT_EQ(system->CreateSound(dir.File("missing.ogg"), SOUND_DEFAULT), kNoSound);
    EXPECT_EQ(system->GetLastResult(), SOUND_ERR_FILE_NOT_FOUND);
    std::string junk = dir.Write("junk.ogg", std::string(5000, 'x'));
    EXPECT_EQ(system->CreateSound(junk, SOUND_3D), kNoSound);
    EXPECT_EQ(system->GetLastResult(), SOUND_ERR_FORMAT);
    EXPECT_EQ(system->CreateSound(junk, SOUND_STREAM), kNoSound);
    EXPECT_EQ(system->PlaySound(kNoSound, system->GetMasterGroup(), false), kNoChannel);
    EXPECT_EQ(system->PlaySound(12345, system->GetMasterGroup(), false), kNoChannel);
    // Calls on handles that never existed do nothing.
    system->StopChannel(0xFFFFFFFFu);
    system->SetGroupVolume(999, 0.0f);
    system->ReleaseSound(777);
}

TEST_F(OpenALSoundSystemTest, ReleasingAPlayingSoundStopsItsChannels)
{
    SoundHandle s = system->CreateSound(tone, SOUND_LOOP);
    SoundChannelId ch = system->PlaySound(s, system->GetMasterGroup(), false);
    system->ReleaseSound(s);
    EXPECT_FALSE(system->IsChannelPlaying(ch));
    EXPECT_LT(LoopbackAudio::Rms(LoopbackAudio::Render(*system, kFrames)), 1e-6);
}

TEST(OggVorbisDecoderTest, TruncatedFileDecodesWhatIsThereOrFails)
{
    TempDir dir;
    std::string path = dir.File("t.ogg");
    ASSERT_TRUE(LoopbackAudio::WriteTone(path, 300.0f, 1.0f));
    std::string whole = dir.Read("t.ogg");
    std::string cut = dir.Write("cut.ogg", whole.substr(0, whole.size() / 2));
    std::vector<int16_t> samples;
    int channels = 0, rate = 0;
    SoundResult r = OggVorbisDecoder::DecodeWhole(cut, false, 1u << 20, samples, channels, rate);
    if (r == SOUND_OK) {
        EXPECT_LT(samples.size(), 22050u);
    }
    EXPECT_EQ(OggVorbisDecoder::DecodeWhole(path, false, 1000, samples, channels, rate), SOUND_ERR_TOO_LARGE);
    EXPECT_TRUE(samples.empty());
    std::string header = dir.Write("hdr.ogg", whole.substr(0, 30));
    EXPECT_NE(OggVorbisDecoder::DecodeWhole(header, false, 1u << 20, samples, channels, rate), SOUND_OK);
}

TEST(SoundSystemFactoryTest, NoDeviceGivesTheSilentSystem)
{
    std::string why;
    auto system = CreateSoundSystem(32, "no such audio device", &why);
    ASSERT_TRUE(system);
    EXPECT_TRUE(system->IsSilent());
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(system->GetChannelLimit(), 32);
    SoundHandle s = system->CreateSound("data/sounds/gui_button.ogg", SOUND_DEFAULT);
    EXPECT_EQ(system->PlaySound(s, system->CreateChannelGroup(), false), kNoChannel);
    system->Update();
}

} // namespace
