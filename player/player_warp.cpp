// Pipe warps: a player over a warp entry (pressing down for a pipe going down) slides in over
// thirty frames of its own and comes out at the start of the level the warp names.
#include <string>

#include "engine/sound.h"
#include "player/player.h"
#include "world/map.h"
#include "world/numbers.h"
#include "world/sounds.h"

void (*gPresentWarpFrame)() = nullptr;

namespace {

enum WarpDirection : int32_t { kWarpDown = 1, kWarpRight = 2, kWarpLeft = 3, kWarpUp = 4 };
constexpr int32_t kEntryInset = 5;                      // px from the warp's left
constexpr int32_t kEntryWidth = 10, kEntryHeight = 20;  // px
constexpr int kWarpFrames = 30;
constexpr float kWarpSlide = 2.0f;  // px per frame
constexpr int kMusicFadeMilliseconds = 1000;

}  // namespace

void cPlayer::WarpStep() {
  if (!gMap) return;
  for (int i = 0; i < kWarps; ++i) {
    const WarpRecord& warp = gMap->warps[i];
    if (warp.direction == kWarpDown && !Held(keyDown)) continue;
    const Rect entry = {Trunc(double(warp.x) + kEntryInset), Trunc(warp.y), kEntryWidth,
                        kEntryHeight};
    if (!RectsOverlap(entry, rect)) continue;

    FadeOutMusic(kMusicFadeMilliseconds);
    PlaySound(kSoundPipe);
    const int32_t direction = warp.direction;
    for (int frame = 0; frame < kWarpFrames; ++frame) {
      if (direction == kWarpDown) y += kWarpSlide;
      if (direction == kWarpRight) x += kWarpSlide;
      if (direction == kWarpLeft) x -= kWarpSlide;
      if (direction == kWarpUp) y -= kWarpSlide;
      if (gPresentWarpFrame) gPresentWarpFrame();
    }
    // The load replaces the warp table, so the entry's own fields are copied out first.
    const std::string fileName = warp.fileName;
    const int32_t startIndex = warp.startIndex;
    gMap->LoadLevel(fileName.c_str(), startIndex);
    // One pipe a step: the entries now belong to the level just loaded (or to none).
    return;
  }
}
