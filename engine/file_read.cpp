// Bounded whole-file reads. The file is opened without blocking and checked with fstat on the
// open descriptor, so a FIFO cannot hang the reader and a directory's meaningless size is
// never used to allocate memory.
#include "engine/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : mFd(fd) {}
  ~Descriptor() {
    if (mFd >= 0) close(mFd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return mFd; }

 private:
  int mFd;
};

// By FileReadResult.
const char* const kResultTexts[] = {"", "cannot open the file", "not a regular file",
                                    "larger than ", "cannot read the file"};

FileReadResult Fail(std::string& out, std::string& error, FileReadResult result, size_t maxBytes) {
  out.clear();
  error = kResultTexts[result];
  if (result == kFileTooLarge) error += std::to_string(maxBytes) + " bytes";
  return result;
}

}  // namespace

FileReadResult ReadWholeFile(const std::string& path, size_t maxBytes, std::string& out,
                             std::string& error) {
  out.clear();
  const Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (file.get() < 0) return Fail(out, error, kFileCannotOpen, maxBytes);
  struct stat info {};
  if (fstat(file.get(), &info) != 0) return Fail(out, error, kFileReadFailed, maxBytes);
  if (!S_ISREG(info.st_mode)) return Fail(out, error, kFileNotRegular, maxBytes);
  if (info.st_size < 0 || uint64_t(info.st_size) > uint64_t(maxBytes))
    return Fail(out, error, kFileTooLarge, maxBytes);

  // The size is only a hint: the file may grow or shrink while it is read.
  out.resize(size_t(info.st_size));
  size_t filled = 0;
  for (;;) {
    if (filled == out.size()) {
      if (out.size() > maxBytes) return Fail(out, error, kFileTooLarge, maxBytes);
      // One byte past the limit is enough to know the file is too large.
      out.resize(std::min(out.size() + 1 + out.size() / 2, maxBytes + 1));
    }
    const ssize_t got = read(file.get(), out.data() + filled, out.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Fail(out, error, kFileReadFailed, maxBytes);
    if (got == 0) break;
    filled += size_t(got);
  }
  out.resize(filled);
  return kFileReadOk;
}
