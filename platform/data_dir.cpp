// Finding the data folder from the executable's own path.
#include "platform/data_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace {

std::string ExecutableDirectory() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return ".";
  path[length] = '\0';
  const std::string full(path);
  const auto slash = full.find_last_of('/');
  return slash == std::string::npos ? "." : full.substr(0, slash);
}

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string FindDataDirectory() {
  const std::string base = ExecutableDirectory();
  for (const std::string& candidate : {base + "/data", base + "/../share/brinkhop"})
    if (IsDirectory(candidate)) return candidate;
  return "";
}
