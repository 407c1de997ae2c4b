#include "ParallelTasks.h"

#include <algorithm>
#include <exception>
#include <future>
#include <system_error>
#include <thread>
#include <vector>

namespace fbxsdk::io {

namespace {
constexpr unsigned kMaxWorkers = 8;
}  // namespace

unsigned WorkerThreads() { return std::clamp(std::thread::hardware_concurrency(), 1u, kMaxWorkers); }

void RunTasks(size_t count, const std::function<void(size_t)>& task) {
  if (count == 0) return;
  std::vector<size_t> here{0};
  std::vector<std::future<void>> started;
  started.reserve(count);
  for (size_t i = 1; i < count; ++i) {
    try {
      started.push_back(std::async(std::launch::async, [&task, i] { task(i); }));
    } catch (const std::system_error&) {
      here.push_back(i);  // no thread to be had: this one does it
    }
  }
  std::exception_ptr failure;
  for (size_t i : here) {
    try {
      task(i);
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  for (std::future<void>& done : started) {
    try {
      done.get();
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
}

}  // namespace fbxsdk::io
