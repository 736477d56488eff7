// The script of a run: read, written and played into the headless device.
#include "app/script.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iterator>
#include <span>
#include <sstream>

#include "app/button.h"
#include "app/input.h"
#include "platform/headless.h"

namespace {

struct NamedKey {
  const char* name;
  InputAction action;
};
const NamedKey kScriptKeys[] = {{"left", InputAction::kLeft},   {"right", InputAction::kRight},
                                {"jump", InputAction::kJump},   {"down", InputAction::kDown},
                                {"fire", InputAction::kFire},   {"restart", InputAction::kRestart},
                                {"retry", InputAction::kRetry}, {"pause", InputAction::kPause},
                                {"mute", InputAction::kMute}};

const char* KeyName(InputAction action) {
  for (const NamedKey& k : kScriptKeys)
    if (k.action == action) return k.name;
  return nullptr;
}

struct NamedButton {
  const char* name;
  ButtonId id;
};
const NamedButton kScriptButtons[] = {{"left", kButtonLeft},   {"right", kButtonRight},
                                      {"jump", kButtonJump},   {"restart", kButtonRestart},
                                      {"start", kButtonStart}, {"retry", kButtonRetry}};

// Orders script events, and finds a frame's, by frame number.
struct ByFrame {
  bool operator()(const SimEvent& a, const SimEvent& b) const { return a.frame < b.frame; }
  bool operator()(const SimEvent& e, int frame) const { return e.frame < frame; }
  bool operator()(int frame, const SimEvent& e) const { return frame < e.frame; }
};

}  // namespace

bool ParseScriptInt(const std::string& word, int& value) {
  char* end = nullptr;
  const long parsed = std::strtol(word.c_str(), &end, 10);
  if (word.empty() || *end != '\0' || parsed < INT_MIN / 2 || parsed > INT_MAX / 2) return false;
  value = int(parsed);
  return true;
}

bool ParseSimScript(const std::string& text, std::vector<SimEvent>& events, std::string& error) {
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const auto hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream in(line);
    std::vector<std::string> words{std::istream_iterator<std::string>(in), {}};
    if (words.empty()) continue;
    auto fail = [&](const std::string& message) {
      error = std::to_string(number) + ": " + message;
      return false;
    };
    SimEvent event;
    event.line = number;
    if (!ParseScriptInt(words[0], event.frame) || event.frame < 0)
      return fail("expected a frame number, found '" + words[0] + "'");
    if (words.size() == 2 && words[1] == "end") {
      event.kind = SimEvent::kEnd;
      events.push_back(event);
      continue;
    }
    if (words.size() < 3) return fail("expected FRAME down|move|up FINGER ... or FRAME key ...");
    const std::string& verb = words[1];
    if (verb == "clock") {
      int ticks = 0;
      if (words.size() != 3 || !ParseScriptInt(words[2], ticks) || ticks < 0)
        return fail("expected a clock time in milliseconds");
      event.kind = SimEvent::kClock;
      event.ticks = uint32_t(ticks);
      events.push_back(event);
      continue;
    }
    if (verb == "focus") {
      if (words.size() != 3 || (words[2] != "lost" && words[2] != "gained"))
        return fail("expected 'lost' or 'gained' after 'focus'");
      event.kind = SimEvent::kFocus;
      event.keyDown = words[2] == "gained";
      events.push_back(event);
      continue;
    }
    if (verb == "key" || verb == "pad") {
      event.kind = SimEvent::kKey;
      event.source = verb == "key" ? InputSource::kKeyboard : InputSource::kPad;
      bool found = false;
      for (const NamedKey& k : kScriptKeys)
        if (words[2] == k.name) {
          event.action = k.action;
          found = true;
        }
      if (!found) return fail("unknown key action '" + words[2] + "'");
      if (words.size() != 4 || (words[3] != "down" && words[3] != "up"))
        return fail("expected 'down' or 'up' after the key action");
      event.keyDown = words[3] == "down";
      events.push_back(event);
      continue;
    }
    if (verb == "down")
      event.kind = SimEvent::kDown;
    else if (verb == "move")
      event.kind = SimEvent::kMove;
    else if (verb == "up")
      event.kind = SimEvent::kUp;
    else
      return fail("unknown event '" + verb + "'");
    if (!ParseScriptInt(words[2], event.finger) || event.finger < 0 || event.finger >= kFingerSlots)
      return fail("finger must be 0 to 10, found '" + words[2] + "'");
    if (event.kind == SimEvent::kUp) {
      if (words.size() != 3) return fail("'up' takes only a finger");
    } else if (int unused; words.size() == 4 && !ParseScriptInt(words[3], unused)) {
      bool found = false;
      for (const NamedButton& b : kScriptButtons)
        if (words[3] == b.name) {
          const ButtonArea box = ButtonPlace(b.id);
          event.x = box.x + box.width / 2;
          event.y = box.y + box.height / 2;
          found = true;
        }
      if (!found) return fail("unknown button '" + words[3] + "'");
    } else if (words.size() != 5 || !ParseScriptInt(words[3], event.x) ||
               !ParseScriptInt(words[4], event.y)) {
      return fail("expected a landscape point X Y or a button name");
    }
    events.push_back(event);
  }
  // Frame order, so a frame's events are found by a search; events of one frame keep the order
  // they were written in.
  std::stable_sort(events.begin(), events.end(), ByFrame{});
  return true;
}

int SimScriptEnd(const std::vector<SimEvent>& events) {
  int end = -1;
  for (const SimEvent& e : events)
    if (e.kind == SimEvent::kEnd && e.frame > end) end = e.frame;
  return end;
}

std::string SimEventLine(const SimEvent& e) {
  std::string line = std::to_string(e.frame) + " ";
  switch (e.kind) {
    case SimEvent::kKey:
      return line + (e.source == InputSource::kPad ? "pad " : "key ") + KeyName(e.action) +
             (e.keyDown ? " down" : " up");
    case SimEvent::kFocus:
      return line + (e.keyDown ? "focus gained" : "focus lost");
    case SimEvent::kClock:
      return line + "clock " + std::to_string(e.ticks);
    case SimEvent::kEnd:
      return line + "end";
    case SimEvent::kUp:
      return line + "up " + std::to_string(e.finger);
    default:
      return line + (e.kind == SimEvent::kDown ? "down " : "move ") + std::to_string(e.finger) +
             " " + std::to_string(e.x) + " " + std::to_string(e.y);
  }
}

bool SimEventOf(const InputEvent& input, int frame, SimEvent& e) {
  e = SimEvent{};
  e.frame = frame;
  switch (input.type) {
    case InputType::kFingerDown:
    case InputType::kFingerMove:
    case InputType::kFingerUp: {
      constexpr SimEvent::Kind kKinds[] = {SimEvent::kDown, SimEvent::kMove, SimEvent::kUp};
      e.kind = kKinds[int(input.type)];
      e.finger = input.finger;
      int32_t x = 0, y = 0;
      DeviceToLandscape(input.x, input.y, &x, &y);
      e.x = x;
      e.y = y;
      return input.finger >= 0 && input.finger < kFingerSlots;
    }
    case InputType::kActionPressed:
    case InputType::kActionReleased:
      e.kind = SimEvent::kKey;
      e.action = input.action;
      e.source = input.source == InputSource::kPad ? InputSource::kPad : InputSource::kKeyboard;
      e.keyDown = input.type == InputType::kActionPressed;
      return KeyName(input.action) != nullptr;
    case InputType::kFocusLost:
    case InputType::kFocusGained:
      e.kind = SimEvent::kFocus;
      e.keyDown = input.type == InputType::kFocusGained;
      return true;
    default:
      return false;
  }
}

uint32_t QueueSimFrame(const std::vector<SimEvent>& events, int frame, uint32_t previousTicks) {
  HeadlessDevice& device = Headless();
  uint32_t ticks = previousTicks + kScriptFrameTicks;
  const auto [first, last] = std::equal_range(events.begin(), events.end(), frame, ByFrame{});
  // From a pointer and a count: the browser's older library has no span of two iterators.
  const std::span<const SimEvent> now(events.data() + (first - events.begin()),
                                      size_t(last - first));
  // Fingers take their places first: as on the phone, a finger's events report where it is
  // when the frame reads them, not where the script put it on the way.
  for (const SimEvent& e : now) {
    if (e.kind == SimEvent::kClock) ticks = e.ticks;
    if (e.kind == SimEvent::kDown || e.kind == SimEvent::kMove)
      HeadlessTouch(e.finger, e.x, e.y, true);
    else if (e.kind == SimEvent::kUp)
      device.fingers[e.finger].down = false;
  }
  constexpr InputType kFingerEvents[] = {InputType::kFingerDown, InputType::kFingerMove,
                                         InputType::kFingerUp};
  for (const SimEvent& e : now) {
    if (e.kind == SimEvent::kKey) {
      HeadlessAction(e.action, e.keyDown, e.source);
    } else if (e.kind == SimEvent::kFocus) {
      InputEvent focus;
      focus.type = e.keyDown ? InputType::kFocusGained : InputType::kFocusLost;
      device.events.push_back(focus);
    } else if (e.kind <= SimEvent::kUp) {
      HeadlessFingerEvent(e.finger, kFingerEvents[e.kind]);
    }
  }
  return ticks;
}
