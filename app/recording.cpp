// Recording: the device's events as the game takes them, one script line each.
#include "app/recording.h"

#include <cstdio>
#include <vector>

#include "app/script.h"
#include "app/trace.h"
#include "platform/platform.h"
#include "world/messages.h"
#include "world/sounds.h"

namespace {

struct Recording {
  std::FILE* file = nullptr;
  PlatformApi device{};
  int frame = -1;  // the pass of play under way; -1 before play
  bool clockWritten = false;
  uint32_t lastTicks = 0;
  std::vector<SoundId> sounds;  // of the pass under way
};

Recording gRecording;

void WriteLine(const std::string& line) {
  std::fputs(line.c_str(), gRecording.file);
  std::fputc('\n', gRecording.file);
}

// The clock of the pass, when the simulator's own would not read the same.
void WriteClock() {
  Recording& r = gRecording;
  const uint32_t expected = r.frame == 0 ? kScriptFirstFrameTicks : r.lastTicks + kScriptFrameTicks;
  if (gFrameTime != expected) {
    SimEvent clock;
    clock.frame = r.frame;
    clock.kind = SimEvent::kClock;
    clock.ticks = gFrameTime;
    WriteLine(SimEventLine(clock));
  }
  r.lastTicks = gFrameTime;
  r.clockWritten = true;
}

// The frame reads its clock before its events, so the first poll of a pass knows the time.
bool RecordingPollEvent(InputEvent* event) {
  Recording& r = gRecording;
  const bool got = r.device.PollEvent(event);
  if (!r.file || r.frame < 0) return got;
  if (!r.clockWritten) WriteClock();
  SimEvent line;
  if (got && SimEventOf(*event, r.frame, line)) WriteLine(SimEventLine(line));
  return got;
}

void RecordingExit(int status) {
  FinishRecording();
  gRecording.device.Exit(status);
}

}  // namespace

bool StartRecording(const std::string& path, const std::string& header) {
  Recording& r = gRecording;
  r.file = std::fopen(path.c_str(), "w");
  if (!r.file) return false;
  std::fputs(header.c_str(), r.file);
  std::fflush(r.file);
  return true;
}

PlatformApi RecordingLayer(const PlatformApi& below) {
  gRecording.device = below;
  PlatformApi above = below;
  above.PollEvent = RecordingPollEvent;
  above.Exit = RecordingExit;
  return above;
}

void RecordingPassStart() {
  Recording& r = gRecording;
  if (!r.file) return;
  ++r.frame;
  r.clockWritten = false;
  r.sounds.clear();
  gSoundRecorder = &r.sounds;
}

void RecordingPassEnd() {
  Recording& r = gRecording;
  if (!r.file) return;
  if (!r.clockWritten) WriteClock();
  gSoundRecorder = nullptr;
  // A crash loses at most the pass under way.
  std::fflush(r.file);
}

void FinishRecording() {
  Recording& r = gRecording;
  if (!r.file) return;
  gSoundRecorder = nullptr;
  if (r.frame >= 0) {
    if (!r.clockWritten) WriteClock();
    SimEvent end;
    end.frame = r.frame;
    end.kind = SimEvent::kEnd;
    WriteLine(SimEventLine(end));
    const std::vector<int> sounds(r.sounds.begin(), r.sounds.end());
    WriteLine("# " + TraceJson(r.frame, sounds, false));
  }
  std::fclose(r.file);
  r.file = nullptr;
}
