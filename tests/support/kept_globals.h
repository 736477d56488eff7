// Globals a test changes, kept as they were and put back (the last kept first) when the keeper
// goes or is asked to, so no test leaks its world into the next.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <iterator>
#include <vector>

class cKeptGlobals {
 public:
  cKeptGlobals() = default;
  cKeptGlobals(const cKeptGlobals&) = delete;
  cKeptGlobals& operator=(const cKeptGlobals&) = delete;
  ~cKeptGlobals() { Restore(); }

  template <class... Globals>
  void Keep(Globals&... globals) {
    (KeepOne(globals), ...);
  }
  void Restore() {
    for (auto restore = mRestores.rbegin(); restore != mRestores.rend(); ++restore) (*restore)();
    mRestores.clear();
  }

 private:
  template <class T>
  void KeepOne(T& global) {
    mRestores.push_back([&global, was = global] { global = was; });
  }
  template <class T, size_t N>
  void KeepOne(T (&global)[N]) {
    std::vector<T> was(std::begin(global), std::end(global));
    mRestores.push_back([&global, was] { std::copy(was.begin(), was.end(), global); });
  }

  std::vector<std::function<void()>> mRestores;
};
