// Recording: the device's events as the game takes them, one script line each, kept whole so
// that what reaches the disk is always a complete prefix of the run.
#include "app/recording.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/hud.h"
#include "app/script.h"
#include "app/trace.h"
#include "platform/platform.h"
#include "world/messages.h"
#include "world/sounds.h"

namespace {

// Passes between writes to the disk, about a second of play: a crash loses at most that much.
constexpr int kPassesPerFlush = 30;

struct Recording {
  bool on = false;
  bool failed = false;
  std::string path;     // the target, links followed
  bool direct = false;  // a device or a pipe: written straight to, in order
  int directFd = -1;
  std::string text;    // everything recorded so far
  size_t flushed = 0;  // bytes of `text` on the disk
  int passesSinceFlush = 0;
  PlatformApi device{};
  int frame = -1;  // the pass of play under way; -1 before play
  bool clockWritten = false;
  uint32_t lastTicks = 0;
  std::vector<SoundId> sounds;  // of the pass under way
};

Recording gRecording;

void WriteLine(const std::string& line) {
  gRecording.text += line;
  gRecording.text += '\n';
}

bool WriteAll(int fd, const char* data, size_t size, std::string& why) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      why = n < 0 ? std::strerror(errno) : "nothing written";
      return false;
    }
    data += n;
    size -= size_t(n);
  }
  return true;
}

// The whole recording into a new file beside the target, then renamed over it: the target is
// the old file or the new one, never half of either.
bool ReplaceTarget(const std::string& path, const std::string& text, std::string& why) {
  std::string temporary = path + ".recording-XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) {
    why = std::strerror(errno);
    return false;
  }
  const mode_t mask = umask(0);
  umask(mask);
  bool ok = true;
  if (fchmod(fd, 0666 & ~mask) != 0) {
    why = std::strerror(errno);
    ok = false;
  }
  ok = ok && WriteAll(fd, text.data(), text.size(), why);
  if (close(fd) != 0 && ok) {
    why = std::strerror(errno);
    ok = false;
  }
  if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
    why = std::strerror(errno);
    ok = false;
  }
  if (!ok) unlink(temporary.c_str());
  return ok;
}

// Once a failure is seen the recording stops; the player hears of it at once and the game
// ends with status 1.
bool Flush() {
  Recording& r = gRecording;
  if (!r.on || r.failed) return !r.failed;
  r.passesSinceFlush = 0;
  if (r.flushed == r.text.size()) return true;
  std::string why;
  const bool ok =
      r.direct ? WriteAll(r.directFd, r.text.data() + r.flushed, r.text.size() - r.flushed, why)
               : ReplaceTarget(r.path, r.text, why);
  if (ok) {
    r.flushed = r.text.size();
    return true;
  }
  r.failed = true;
  const std::string line = "cannot write the recording " + r.path + ": " + why;
  std::fprintf(stderr, "brinkhop: %s\n", line.c_str());
  gHudNotice = line;
  return false;
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
  if (!r.on || r.frame < 0) return got;
  if (!r.clockWritten) WriteClock();
  SimEvent line;
  if (got && SimEventOf(*event, r.frame, line)) WriteLine(SimEventLine(line));
  return got;
}

void RecordingExit(int status) {
  FinishRecording();
  gRecording.device.Exit(status == 0 && RecordingFailed() ? 1 : status);
}

}  // namespace

bool StartRecording(const std::string& path, const std::string& header) {
  Recording& r = gRecording;
  r = Recording{};
  r.path = path;
  char real[PATH_MAX];
  if (realpath(path.c_str(), real)) r.path = real;
  struct stat info;
  r.direct = stat(r.path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
  if (r.direct) {
    r.directFd = open(r.path.c_str(), O_WRONLY | O_CLOEXEC);
    if (r.directFd < 0) {
      std::fprintf(stderr, "brinkhop: cannot write the recording %s: %s\n", r.path.c_str(),
                   std::strerror(errno));
      r = Recording{};
      return false;
    }
  }
  r.on = true;
  r.text = header;
  if (!Flush()) {
    gHudNotice.clear();
    if (r.directFd >= 0) close(r.directFd);
    r = Recording{};
    return false;
  }
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
  if (!r.on) return;
  ++r.frame;
  r.clockWritten = false;
  r.sounds.clear();
  gSoundRecorder = &r.sounds;
}

void RecordingPassEnd() {
  Recording& r = gRecording;
  if (!r.on) return;
  if (!r.clockWritten) WriteClock();
  gSoundRecorder = nullptr;
  if (++r.passesSinceFlush >= kPassesPerFlush) Flush();
}

void FinishRecording() {
  Recording& r = gRecording;
  if (!r.on) return;
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
  Flush();
  if (r.directFd >= 0 && close(r.directFd) != 0 && !r.failed) {
    r.failed = true;
    std::fprintf(stderr, "brinkhop: cannot write the recording %s: %s\n", r.path.c_str(),
                 std::strerror(errno));
  }
  r.directFd = -1;
  r.on = false;
}

bool RecordingFailed() { return gRecording.failed; }

std::string SameFileAs(const std::string& target, const std::vector<std::string>& files) {
  struct stat mine;
  if (stat(target.c_str(), &mine) != 0) return "";
  for (const std::string& file : files) {
    struct stat other;
    if (!file.empty() && stat(file.c_str(), &other) == 0 && other.st_dev == mine.st_dev &&
        other.st_ino == mine.st_ino)
      return file;
  }
  return "";
}
