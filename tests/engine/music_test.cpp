// Music through the device seam (the headless device's record): a tune starts and loops, the jingle
// plays once, the duck lowers and restores, the mute silences and brings back, a stopped loop comes
// back.
#include "engine/music.h"

#include <gtest/gtest.h>

#include "engine/sound.h"
#include "tests/support/fake_music.h"

namespace {

using Plays = std::vector<std::pair<int, int>>;

TEST(MusicTest, TunesLoopTheJinglePlaysOnceAndAStoppedLoopComesBack) {
  cFakeMusic music;
  auto& log = cFakeMusic::Log();
  PlayTune(kTuneTitle, true);
  KeepTune(kTuneTitle, true);  // already playing: not started again
  EXPECT_EQ(cFakeMusic::Plays(), (Plays{{kTuneTitle, -1}}));
  EXPECT_EQ(cFakeMusic::LastVolume(), kMusicFullVolume);
  EXPECT_EQ(CurrentTune(), kTuneTitle);

  FadeOutMusic(1000);  // before a pipe warp; the device says when it has run out
  EXPECT_EQ(log.stopFades.back(), 1000);
  KeepMusicGoing();
  EXPECT_EQ(cFakeMusic::LastPlay(), (std::pair<int, int>{kTuneTitle, -1}));

  PlayTune(kTuneJingle, false);
  EXPECT_EQ(cFakeMusic::LastPlay(), (std::pair<int, int>{kTuneJingle, 0}));
  const size_t played = cFakeMusic::Plays().size();
  log.playing = false;  // the jingle ended
  KeepMusicGoing();
  EXPECT_EQ(cFakeMusic::Plays().size(), played);

  StopMusic();
  EXPECT_EQ(CurrentTune(), kTuneNone);
  KeepMusicGoing();
  EXPECT_EQ(cFakeMusic::Plays().size(), played);
}

TEST(MusicTest, DyingDucksTheMusicAndTheRetryBringsItBack) {
  cFakeMusic music;
  PlayTune(kTunePlay, true);
  DuckMusic(true);
  EXPECT_EQ(cFakeMusic::LastVolume(), kMusicDuckedVolume);
  const size_t changes = cFakeMusic::Log().volumes.size();
  DuckMusic(true);  // every frame of the death asks again: no more device calls
  EXPECT_EQ(cFakeMusic::Log().volumes.size(), changes);
  DuckMusic(false);
  EXPECT_EQ(cFakeMusic::LastVolume(), kMusicFullVolume);
  // A new tune starts at full volume whatever came before.
  DuckMusic(true);
  PlayTune(kTuneTitle, true);
  EXPECT_EQ(cFakeMusic::LastVolume(), kMusicFullVolume);
}

TEST(MusicTest, TheMuteStopsTheMusicAndUnmutingStartsTheLoopAgain) {
  cFakeMusic music;
  auto& log = cFakeMusic::Log();
  PlayTune(kTunePlay, true);
  ToggleMute();
  EXPECT_TRUE(Muted());
  EXPECT_EQ(cFakeMusic::Halts(), 1);
  EXPECT_FALSE(log.playing);
  // Muted, nothing starts: not a new tune, not the stopped loop.
  PlayTune(kTuneTitle, true);
  KeepMusicGoing();
  DuckMusic(true);
  EXPECT_FALSE(log.playing);
  EXPECT_EQ(cFakeMusic::Plays().size(), 1u);
  ToggleMute();
  EXPECT_FALSE(Muted());
  ASSERT_EQ(cFakeMusic::Plays().size(), 2u);
  EXPECT_EQ(cFakeMusic::LastPlay(), (std::pair<int, int>{kTuneTitle, -1}));
  EXPECT_EQ(cFakeMusic::LastVolume(), kMusicDuckedVolume);  // still dying: ducked
  // A jingle cut by the mute stays unheard.
  PlayTune(kTuneJingle, false);
  SetMuted(true);
  SetMuted(false);
  EXPECT_EQ(cFakeMusic::Plays().size(), 3u);
}

}  // namespace
