#include "ArrayInflater.h"

#include <libdeflate.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <numeric>
#include <thread>

namespace fbxsdk::io {

namespace {

// Below this much output, starting a thread costs more than it saves.
constexpr size_t kParallelBytes = size_t(4) << 20;
constexpr unsigned kMaxThreads = 8;

struct DecompressorDeleter {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};
using Decompressor = std::unique_ptr<libdeflate_decompressor, DecompressorDeleter>;

bool Inflate(libdeflate_decompressor* decompressor, const ArrayInflater::Job& job) {
  // libdeflate checks the stream's adler32 and, with no size out-parameter, that it fills the
  // output exactly.
  if (libdeflate_zlib_decompress(decompressor, job.in, job.inSize, job.out, job.outSize, nullptr) != LIBDEFLATE_SUCCESS)
    return false;
  if (job.swapWidth > 1) SwapBytes(job.out, job.outSize / job.swapWidth, job.swapWidth);
  return true;
}

}  // namespace

void SwapBytes(uint8_t* p, size_t count, size_t width) {
  if (width < 2) return;
  for (size_t i = 0; i < count; ++i, p += width) std::reverse(p, p + width);
}

void ArrayInflater::Add(Job job) {
  bytes_ += job.outSize;
  jobs_.push_back(std::move(job));
}

bool ArrayInflater::RunOne(const Job& job, std::string& error) {
  Decompressor decompressor(libdeflate_alloc_decompressor());
  if (!decompressor) throw std::bad_alloc();
  if (Inflate(decompressor.get(), job)) return true;
  error = job.error;
  return false;
}

bool ArrayInflater::Run(std::string& error) {
  if (jobs_.empty()) return true;
  // Largest first, so that the threads finish together.
  std::vector<size_t> order(jobs_.size());
  std::iota(order.begin(), order.end(), size_t(0));
  std::stable_sort(order.begin(), order.end(),
                   [this](size_t a, size_t b) { return jobs_[a].outSize > jobs_[b].outSize; });
  std::vector<char> failed(jobs_.size(), 0);
  std::atomic<size_t> next{0};
  auto work = [&] {
    Decompressor decompressor(libdeflate_alloc_decompressor());
    if (!decompressor) return;  // the other threads take its share
    for (size_t i = next++; i < order.size(); i = next++)
      if (!Inflate(decompressor.get(), jobs_[order[i]])) failed[order[i]] = 1;
  };
  unsigned threads = bytes_ < kParallelBytes ? 1 : std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
  std::vector<std::thread> helpers;
  for (unsigned t = 1; t < threads; ++t) {
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // the calling thread does the rest
    }
  }
  work();
  for (std::thread& helper : helpers) helper.join();
  if (next < order.size()) throw std::bad_alloc();  // no thread could allocate a decompressor
  for (size_t i = 0; i < jobs_.size(); ++i)
    if (failed[i]) {
      error = jobs_[i].error;
      return false;
    }
  jobs_.clear();
  bytes_ = 0;
  return true;
}

}  // namespace fbxsdk::io
