// Work split over the machine's cores: the writers format and the readers parse large arrays in
// pieces that do not share anything but their input.
#pragma once

#include <cstddef>
#include <functional>

namespace fbxsdk::io {

// Threads worth running for work that splits evenly: one per core, at least one, at most eight.
unsigned WorkerThreads();

// Runs task(0) to task(count - 1), each but the first on a thread of its own, the first on the
// calling thread, as does any whose thread cannot be started. Every thread is joined before it
// returns; the first exception a task threw is then rethrown.
void RunTasks(size_t count, const std::function<void(size_t)>& task);

}  // namespace fbxsdk::io
