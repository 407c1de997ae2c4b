#pragma once

#include <exception>
#include <new>
#include <utility>

// Every entry point of the platform libraries and of the plug-in runs its body
// through GuardedEntry: the body's result, or `failure` when anything throws.
// Callers know only results, so no exception may cross into them.

// What ended a guarded body early.
enum class EntryFailure { OutOfMemory, Error };

// As below, and `onFailure(EntryFailure, const char* what)` hears what ended
// the body (what is null when the exception says nothing), to report it in
// the caller's own terms. onFailure itself must not throw.
template <typename Result, typename Body, typename OnFailure>
Result GuardedEntry(Result failure, Body&& body, OnFailure&& onFailure) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (const std::bad_alloc&) {
    onFailure(EntryFailure::OutOfMemory, nullptr);
  } catch (const std::exception& error) {
    onFailure(EntryFailure::Error, error.what());
  } catch (...) {
    onFailure(EntryFailure::Error, nullptr);
  }
  return failure;
}

template <typename Result, typename Body>
Result GuardedEntry(Result failure, Body&& body) noexcept {
  return GuardedEntry(std::move(failure), std::forward<Body>(body), [](EntryFailure, const char*) {});
}

// For entry points without a result: a failure changes nothing the caller sees.
template <typename Body>
void GuardedEntry(Body&& body) noexcept {
  GuardedEntry(
      0,
      [&] {
        std::forward<Body>(body)();
        return 0;
      },
      [](EntryFailure, const char*) {});
}
