// The route finder: a greedy search over jump presses, each candidate played from the first
// frame on the real game frame, so what it finds replays exactly in the simulator and the game.
#include "tools/route.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "app/checkpoints.h"
#include "app/results.h"
#include "engine/file_read.h"
#include "player/player.h"
#include "tools/tool_main.h"
#include "units/base_unit.h"
#include "world/effects.h"
#include "world/level_text.h"
#include "world/map.h"
#include "world/messages.h"
#include "world/numbers.h"
#include "world/score.h"

namespace {

// Holding right without standing anywhere further on this long is stuck (a jump with a long
// fall is well under it).
constexpr int kStallFrames = 90;
constexpr int kSurviveFrames = 450;  // a candidate that lives this long past the failure clears it
constexpr int kPressStep = 2;        // frames between the candidate presses tried
constexpr int kHolds[] = {14, 8, 4, 24};  // frames a press is held, longest useful first
constexpr int kMaxRounds = 400;
constexpr float kColumnPx = 32.0f;
constexpr int kMessageLookFrames = 30;  // a death's message may come a moment after the fall

struct RunStats {
  int reachedFrame = -1;
  int failFrame = -1;     // the last frame on the ground before a death, or where progress stopped
  float furthestX = 0;    // stood on
  std::vector<float> xs;  // per frame, when asked for
  std::vector<int> happened;  // frames where something happened to the player, when asked for
};

RunStats RunOnce(const std::vector<SimEvent>& events, const RouteOptions& options, int frames,
                 bool keepXs) {
  RunStats stats;
  cSimulation sim;
  std::string error;
  if (!sim.Start(options.dataDir, error)) return stats;
  float best = -1;
  int bestFrame = 0, lastGround = 0;
  auto state = [] {
    return std::array<int, 4>{gScore, gMessageIndex, gCheckpointReached, gPlayer->power};
  };
  std::array<int, 4> before = state();
  for (int frame = 0; frame < frames; ++frame) {
    sim.RunFrame(events);
    const cPlayer& p = *gPlayer;
    if (keepXs) {
      stats.xs.push_back(p.x);
      const std::array<int, 4> now = state();
      // A message going away is not something happening.
      if (now != before &&
          !(now[1] < 0 && now[0] == before[0] && now[2] == before[2] && now[3] == before[3]))
        stats.happened.push_back(frame);
      before = now;
    }
    const bool reached =
        options.toColumn < 0 ? gGoalReached : !p.dying && p.x >= options.toColumn * kColumnPx;
    if (reached) {
      stats.reachedFrame = frame;
      break;
    }
    if (p.dying) {
      stats.failFrame = std::min(frame, lastGround + 1);
      break;
    }
    // Progress is where the player stood: a fall under the ground goes on to the right too.
    if (p.onGround) lastGround = frame;
    if (p.onGround && p.x > best + 0.5f) {
      best = p.x;
      bestFrame = frame;
    } else if (frame - bestFrame > kStallFrames) {
      stats.failFrame = bestFrame;
      break;
    }
  }
  stats.furthestX = std::max(best, 0.0f);
  return stats;
}

// The longest gap between the marked frames, from the first frame to the run's last.
RouteResult::Stretch LongestStretch(std::vector<int> marks, const std::vector<float>& xs) {
  RouteResult::Stretch longest;
  if (xs.empty()) return longest;
  marks.push_back(0);
  marks.push_back(int(xs.size()) - 1);
  std::sort(marks.begin(), marks.end());
  for (size_t i = 1; i < marks.size(); ++i) {
    const int from = std::clamp(marks[i - 1], 0, int(xs.size()) - 1);
    const int to = std::clamp(marks[i], 0, int(xs.size()) - 1);
    if (to - from > longest.frames)
      longest = {to - from, int(xs[size_t(from)] / kColumnPx), int(xs[size_t(to)] / kColumnPx)};
  }
  return longest;
}

SimEvent Key(int frame, InputAction action, bool down) {
  SimEvent e;
  e.frame = frame;
  e.kind = SimEvent::kKey;
  e.action = action;
  e.keyDown = down;
  return e;
}

std::vector<SimEvent> With(const std::vector<SimEvent>& events, const std::vector<SimEvent>& more) {
  std::vector<SimEvent> all = events;
  all.insert(all.end(), more.begin(), more.end());
  std::stable_sort(all.begin(), all.end(),
                   [](const SimEvent& a, const SimEvent& b) { return a.frame < b.frame; });
  return all;
}

}  // namespace

RouteResult FindRoute(const std::vector<SimEvent>& prefix, const RouteOptions& given) {
  RouteResult result;
  // The simulation works from inside the data folder: entered once, by the first run.
  RouteOptions options = given;
  std::vector<SimEvent> base;
  int prefixEnd = 0;
  bool rightHeld = false;
  for (const SimEvent& e : prefix) {
    if (e.kind == SimEvent::kEnd) continue;
    base.push_back(e);
    prefixEnd = std::max(prefixEnd, e.frame);
    if (e.kind == SimEvent::kKey && e.action == InputAction::kRight) rightHeld = e.keyDown;
  }
  if (!rightHeld) result.added.push_back(Key(prefixEnd, InputAction::kRight, true));
  int earliest = base.empty() ? 0 : prefixEnd + 1;

  RunStats run;
  for (int round = 0; round < kMaxRounds; ++round) {
    const std::vector<SimEvent> events = With(base, result.added);
    run = RunOnce(events, options, options.maxFrames, false);
    options.dataDir.clear();
    ++result.runs;
    if (run.reachedFrame >= 0 || run.failFrame < 0) break;

    // Presses from the failure backwards: the first that lives on past it is taken; else the
    // one that got furthest, if it got anywhere. When no new press will do, the last press
    // moves instead: a stomp's bounce or a landing may need the jump before it timed otherwise.
    std::vector<SimEvent> kept = result.added, best;
    float bestX = run.furthestX + kColumnPx / 2;
    bool cleared = false;
    auto tryPresses = [&](const std::vector<SimEvent>& keep, int from) {
      for (int press = run.failFrame; press >= from && !cleared; press -= kPressStep) {
        for (int hold : kHolds) {
          std::vector<SimEvent> added = keep;
          added.push_back(Key(press, InputAction::kJump, true));
          added.push_back(Key(press + hold, InputAction::kJump, false));
          const RunStats tried =
              RunOnce(With(base, added), options,
                      std::min(options.maxFrames, run.failFrame + kSurviveFrames), false);
          ++result.runs;
          if (tried.reachedFrame >= 0 || tried.failFrame < 0) {
            best = added;
            cleared = true;
            break;
          }
          if (tried.furthestX > bestX) {
            bestX = tried.furthestX;
            best = added;
          }
        }
      }
    };
    tryPresses(kept, std::max(earliest, run.failFrame - options.lookBack));
    const bool lastIsOurs = result.added.size() >= 2 &&
                            result.added.back().kind == SimEvent::kKey &&
                            result.added.back().action == InputAction::kJump;
    if (!cleared && lastIsOurs) {
      const int lastPress = result.added[result.added.size() - 2].frame;
      kept.resize(kept.size() - 2);
      int floor = base.empty() ? 0 : prefixEnd + 1;
      if (!kept.empty()) floor = std::max(floor, kept.back().frame + 1);
      tryPresses(kept, std::max(floor, lastPress - options.lookBack));
    }
    if (best.empty()) break;
    result.added = best;
    earliest = best.back().frame + 1;
  }

  // The final run, frame by frame, for the quiet stretch.
  const std::vector<SimEvent> events = With(base, result.added);
  run = RunOnce(events, options, options.maxFrames, true);
  result.reached = run.reachedFrame >= 0;
  result.reachedFrame = run.reachedFrame;
  result.failFrame = run.failFrame;
  result.furthestX = run.furthestX;
  std::vector<int> presses;
  for (const SimEvent& e : events)
    if (e.kind == SimEvent::kKey && e.action == InputAction::kJump && e.keyDown)
      presses.push_back(e.frame);
  std::vector<int> happenings = presses;
  happenings.insert(happenings.end(), run.happened.begin(), run.happened.end());
  result.withoutPress = LongestStretch(presses, run.xs);
  result.withoutEvent = LongestStretch(happenings, run.xs);
  return result;
}

namespace {

// What a first-timer notices: px ahead of its front edge, rows of drop it calls a pit.
constexpr int kLookAheadPx = 40;
constexpr int kEnemyLookAheadPx = 110;
constexpr int kEnemyHeightPx = 80;
constexpr int kPitRows = 3;
constexpr int kJumpHoldFrames = 14;
constexpr int kRetryAfterFrames = 45;  // watching the death before pressing retry
constexpr int kStuckFrames = 150;      // no progress this long: it tries a jump anyway
constexpr int kGiveUpFrames = 900;     // no progress this long: it stops playing
constexpr int kFirstTimerFrames = 20000;

// After a death a player jumps that spot differently: sooner, later, from further off.
constexpr int kLookAheadTries[] = {kLookAheadPx, 12, 70, 24, 100};
constexpr int kLearnColumns = 16;
constexpr int kWaitFrames = 9;
constexpr int kWaitLookAheadPx = 150;  // a death this far ahead is remembered

// 0 nothing, kTerrain a wall, a pit or spikes, kMoving an enemy or a fire.
constexpr int kTerrain = 1, kMoving = 2;
int SeesDangerAhead(const cPlayer& p, int lookAhead) {
  const int front = Trunc(p.x) + p.width;
  const int feet = Trunc(p.y) + p.height;
  for (int dx = 2; dx <= lookAhead; dx += 6) {
    const int x = front + dx;
    if (gMap->SolidAt(x, feet - p.height / 2) || gMap->SolidAt(x, feet - 4)) return kTerrain;
    // Down to the ground it would land on, as drawn: no ground shown is a pit, and spikes
    // that show, on the level or down in a dip, are as plain a danger.
    bool ground = false;
    for (int row = 0; row < kPitRows && !ground; ++row) {
      const int y = feet + 2 + row * kCellSize;
      const int column = PixelToCell(x), cellRow = PixelToCell(y);
      const bool shown =
          CellInGrid(column, cellRow) && gMap->revealLayer[CellIndex(column, cellRow)];
      if (shown && gMap->decoLayer[CellIndex(column, cellRow)] == kDecoDeadlyA) return kTerrain;
      ground = shown && gMap->SolidAt(x, y) != 0;
    }
    if (!ground) return kTerrain;
  }
  if (gFireField)
    for (int i = 0; i < gFireField->count; ++i) {
      const int dx = gFireField->fireX[i] - front, dy = gFireField->fireY[i] - Trunc(p.y);
      if (dx > -8 && dx < lookAhead + 16 && std::abs(dy) < kEnemyHeightPx) return kMoving;
    }
  for (const cBaseUnit* unit : gUnits) {
    float ux = 0, uy = 0;
    if (!unit || !unit->Position(ux, uy)) continue;
    const float dx = ux - float(front), dy = uy - p.y;
    if (dx > -16 && dx < kEnemyLookAheadPx && std::fabs(dy) < kEnemyHeightPx) return kMoving;
  }
  return 0;
}

}  // namespace

FirstTimerRun PlayAsFirstTimer(const RouteOptions& options, int maxDeaths) {
  FirstTimerRun run;
  cSimulation sim;
  std::string error;
  if (!sim.Start(options.dataDir, error)) return run;
  run.events.push_back(Key(0, InputAction::kRight, true));
  int jumpUntil = -1, dyingSince = -1, bestFrame = 0, waitedAt = -1;
  float best = -1;
  for (int frame = 0; frame < kFirstTimerFrames; ++frame) {
    const cPlayer& p = *gPlayer;
    if (p.dying) {
      if (dyingSince < 0) {
        dyingSince = frame;
        FirstTimerDeath death;
        death.frame = frame;
        death.column = int(p.x / kColumnPx);
        death.row = int(p.y / kColumnPx);
        death.checkpoint = gCheckpointReached;
        run.deaths.push_back(death);
      }
      if (frame == dyingSince + kMessageLookFrames) run.deaths.back().message = gMessageIndex;
      if (frame == dyingSince + kRetryAfterFrames) {
        if (int(run.deaths.size()) >= maxDeaths) break;
        run.events.push_back(Key(frame, InputAction::kRetry, true));
        run.events.push_back(Key(frame + 1, InputAction::kRetry, false));
        best = -1;
        bestFrame = frame;
      }
    } else {
      if (dyingSince >= 0) waitedAt = -1;
      dyingSince = -1;
      if (p.x > best + 0.5f) {
        best = p.x;
        bestFrame = frame;
      }
      if (frame - bestFrame > kGiveUpFrames) break;
      const bool stuck = frame - bestFrame > kStuckFrames && (frame - bestFrame) % 40 == 0;
      int tries = 0;
      const int column = int(p.x / kColumnPx);
      for (const FirstTimerDeath& d : run.deaths)
        tries += d.column >= column && d.column - column <= kLearnColumns;
      const int lookAhead = kLookAheadTries[size_t(tries) % std::size(kLookAheadTries)];
      // Where it died twice it also stops a moment further off, to time a moving thing, and
      // then runs up as before.
      if (tries >= 2 && (waitedAt < 0 || column - waitedAt > kLearnColumns) &&
          frame > jumpUntil + 1 && p.onGround && SeesDangerAhead(p, kWaitLookAheadPx) == kMoving) {
        waitedAt = column;
        jumpUntil = frame + kWaitFrames * (tries - 1);
        run.events.push_back(Key(frame, InputAction::kRight, false));
        run.events.push_back(Key(jumpUntil, InputAction::kRight, true));
      } else if (frame > jumpUntil + 1 && p.onGround &&
                 (stuck || SeesDangerAhead(p, lookAhead) != 0)) {
        jumpUntil = frame + kJumpHoldFrames;
        run.events.push_back(Key(frame, InputAction::kJump, true));
        run.events.push_back(Key(jumpUntil, InputAction::kJump, false));
      }
    }
    std::stable_sort(run.events.begin(), run.events.end(),
                     [](const SimEvent& a, const SimEvent& b) { return a.frame < b.frame; });
    sim.RunFrame(run.events);
    if (gGoalReached) {
      run.goalFrame = frame;
      break;
    }
  }
  return run;
}

namespace {

const char kUsage[] =
    "usage: brinkhop-route [--data DIR] [--level FILE] [--at COL,ROW] [--from SCRIPT] [--to COL]\n"
    "                      [--frames N] [--look-back N] [--first-timer DEATHS]\n"
    "Searches the jump presses that take a player holding right from the end of SCRIPT (or the\n"
    "start) to the goal, or to column COL, without dying, and prints the whole script.\n"
    "  --frames N     give up on runs longer than N frames (default 6000)\n"
    "  --look-back N  how many frames before a failure a press may start (default 72)\n"
    "  --first-timer DEATHS  instead, play as a stranger would (hold right, jump at what is\n"
    "                 on screen, retry after each death) until the goal or DEATHS deaths; prints\n"
    "                 that run's script and, on standard error, where it died\n"
    "Exit status: 0 reached; 1 not reached, or a level or script that cannot be read; 2 usage.\n";

}  // namespace

int RunRouteFinder(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  RouteOptions options;
  int firstTimerDeaths = 0;
  std::string levelPath, fromPath;
  StartCell at;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    std::string text;
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    auto number = [&](int& into, int least) {
      return value(text) && ParseScriptInt(text, into) && into >= least;
    };
    if (const char* needs = OptionValueName(arg); needs && i + 1 >= argc) {
      err << "brinkhop-route: " << arg << " needs " << needs << "\n" << kUsage;
      return 2;
    } else if ((arg == "--help" || arg == "-h") && i + 1 < argc) {
      err << "brinkhop-route: " << arg << " takes nothing after it, not '" << argv[i + 1] << "'\n"
          << kUsage;
      return 2;
    } else if (arg == "--help" || arg == "-h") {
      out << kUsage;
      return 0;
    } else if (arg == "--data" && value(options.dataDir)) {
    } else if (arg == "--level" && value(levelPath)) {
    } else if (arg == "--from" && value(fromPath)) {
    } else if (arg == "--to" && number(options.toColumn, 0)) {
    } else if (arg == "--frames" && number(options.maxFrames, 1)) {
    } else if (arg == "--look-back" && number(options.lookBack, 1)) {
    } else if (arg == "--first-timer" && number(firstTimerDeaths, 1)) {
    } else if (arg == "--at" && value(text) && ParseCell(text, at)) {
    } else {
      err << "brinkhop-route: bad argument '" << arg << "'\n" << kUsage;
      return 2;
    }
  }

  std::string script;
  std::vector<SimEvent> prefix;
  if (!fromPath.empty()) {
    std::string error;
    if (ReadWholeFile(fromPath, kMaxScriptBytes, script, error) != kFileReadOk) {
      err << "brinkhop-route: " << fromPath << ": " << error << "\n";
      return 1;
    }
    if (!ParseSimScript(script, prefix, error)) {
      err << "brinkhop-route: " << fromPath << ":" << error << "\n";
      return 1;
    }
  }
  cPlayedLevelScope played(at);
  if (!played.Read(levelPath, err)) return 1;

  if (firstTimerDeaths > 0) {
    const FirstTimerRun run = PlayAsFirstTimer(options, firstTimerDeaths);
    cSimulation::ReleaseGame();
    for (const SimEvent& e : run.events) out << SimEventLine(e) << "\n";
    for (const FirstTimerDeath& d : run.deaths)
      err << "died at frame " << d.frame << ", column " << d.column << " row " << d.row
          << (d.message >= 0 ? std::string(" (") + kMessages[d.message] + ")" : std::string())
          << ", retry from "
          << (d.checkpoint < 0 ? std::string("the start")
                               : "checkpoint " + std::to_string(d.checkpoint))
          << "\n";
    err << run.deaths.size() << " deaths; "
        << (run.goalFrame >= 0 ? "reached the goal at frame " + std::to_string(run.goalFrame)
                               : std::string("gave up"))
        << "\n";
    return run.goalFrame >= 0 ? 0 : 1;
  }
  const RouteResult route = FindRoute(prefix, options);
  cSimulation::ReleaseGame();

  // The prefix as it was written, its end line dropped; then the presses found.
  size_t start = 0;
  while (start < script.size()) {
    const size_t end = std::min(script.find('\n', start), script.size());
    const std::string line = script.substr(start, end - start);
    std::vector<SimEvent> one;
    std::string error;
    if (!(ParseSimScript(line, one, error) && !one.empty() && one[0].kind == SimEvent::kEnd))
      out << line << "\n";
    start = end + 1;
  }
  for (const SimEvent& e : route.added) out << SimEventLine(e) << "\n";

  char summary[300];
  const char* target = options.toColumn < 0 ? "the goal" : "the column";
  if (route.reached)
    std::snprintf(summary, sizeof summary, "reached %s at frame %d (%.1f s)", target,
                  route.reachedFrame, route.reachedFrame * 0.033);
  else
    std::snprintf(summary, sizeof summary, "did not reach %s: stuck at frame %d, column %d", target,
                  route.failFrame, int(route.furthestX / kColumnPx));
  err << summary << "; " << route.added.size() / 2
      << " presses added; longest stretch without a press " << route.withoutPress.frames
      << " frames, columns " << route.withoutPress.fromColumn << "-" << route.withoutPress.toColumn
      << "; without an event " << route.withoutEvent.frames << " frames, columns "
      << route.withoutEvent.fromColumn << "-" << route.withoutEvent.toColumn << "; " << route.runs
      << " runs\n";
  return route.reached ? 0 : 1;
}
