#pragma once

#include <utility>

// A platform library's entry point runs its body through GuardedEntry: the body's
// result, or `failure` when anything throws. Callers of the libraries know only
// results, so no exception may cross into them.
template <typename Result, typename Body>
Result GuardedEntry(Result failure, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    return failure;
  }
}

// For entry points without a result: a failure changes nothing the caller sees.
template <typename Body>
void GuardedEntry(Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
  } catch (...) {}
}
