// --record: the session's input, written as it happens as a simulator script, frames counted
// from the first frame of play; the real clock goes in where it is not the simulator's 33 ms a
// frame, and the last line is the last frame's state as the simulator traces it.
#pragma once

#include <string>

#include "platform/platform.h"

// Starts the file with `header` (comment lines); false when the file cannot be written.
bool StartRecording(const std::string& path, const std::string& header);
// The device layer that writes down the events the game takes and finishes the file on exit.
PlatformApi RecordingLayer(const PlatformApi& below);

// Around every pass of play.
void RecordingPassStart();
void RecordingPassEnd();

// Writes the last frame's state and closes the file; the device's exit does this too.
void FinishRecording();
