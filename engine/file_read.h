// Reading a whole file into memory, refusing anything that is not a plain file or is larger
// than its reader can use. Every file the game and its tools read from disk comes through here.
#pragma once

#include <cstddef>
#include <string>

enum FileReadResult : int {
  kFileReadOk = 0,
  kFileCannotOpen,  // "cannot open the file"
  kFileNotRegular,  // "not a regular file": a directory, FIFO, device or socket, never waited on
  kFileTooLarge,    // "larger than N bytes"
  kFileReadFailed,  // "cannot read the file"
};

// Reads the regular file at `path` into `out`. On failure `out` is empty and `error` holds the
// result's text.
FileReadResult ReadWholeFile(const std::string& path, size_t maxBytes, std::string& out,
                             std::string& error);
