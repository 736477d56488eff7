// --record: the session's input, written as it happens as a simulator script, frames counted
// from the first frame of play; the real clock goes in where it is not the simulator's 33 ms a
// frame, and the last line is the last frame's state as the simulator traces it. About once a
// second the whole script goes to a new file beside the target, renamed over it, so the target
// is always the old file or a complete prefix; a device or a pipe is written straight to.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

// Starts the file with `header` (comment lines); RecordingLayer then takes the device's events.
// False, after one line on the error stream, when the file cannot be written.
bool StartRecording(const std::string& path, const std::string& header);
// The device layer that writes down the events the game takes and finishes the file on exit.
PlatformApi RecordingLayer(const PlatformApi& below);

// Around every pass of play.
void RecordingPassStart();
void RecordingPassEnd();

// Writes the last frame's state and closes the file; the device's exit does this too.
void FinishRecording();

// A write failed: the recording stopped there, said so on the error stream and on screen, and
// the game's exit status becomes 1.
bool RecordingFailed();

// The first of `files` that is the same file as `target` (same device and inode, whatever the
// names), or "" when none is or `target` does not exist yet.
std::string SameFileAs(const std::string& target, const std::vector<std::string>& files);
