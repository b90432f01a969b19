#pragma once
// When the test build may free an index that it has replaced: each lookup call counts itself in
// the current phase's reader count while it reads; the build's thread, after publishing a new
// index, flips the phase, and once the old phase's count drains to zero no call can still hold an
// index that was replaced before the flip. A lookup pays two atomic adds and never waits; the
// thread never waits either: it looks again on its next round.
//
// Why it holds: a call adds itself, then reads the phase again, and keeps the phase only when it did
// not change (else it takes itself back and tries the new phase). All of these are sequentially
// consistent: a call that kept phase P added itself before the flip away from P, so the thread's
// later read of P's count sees it; a call that kept the new phase read it after the flip, which came
// after the new index was published, so it reads the new index.
#include <atomic>
#include <cstdint>

namespace vykcn {

class ReaderEpochs {
 public:
  // A lookup call's start: the phase it is counted in, to be handed to Leave.
  unsigned Enter() noexcept {
    for (;;) {
      const unsigned phase = phase_.load(std::memory_order_seq_cst);
      counts_[phase].readers.fetch_add(1, std::memory_order_seq_cst);
      if (phase_.load(std::memory_order_seq_cst) == phase) return phase;
      counts_[phase].readers.fetch_sub(1, std::memory_order_release);
    }
  }
  void Leave(unsigned phase) noexcept { counts_[phase].readers.fetch_sub(1, std::memory_order_release); }

  // The build's thread, after it published an index: the phase whose readers may still hold the
  // index it replaced.
  unsigned Flip() noexcept {
    const unsigned old = phase_.load(std::memory_order_relaxed);
    phase_.store(old ^ 1u, std::memory_order_seq_cst);
    return old;
  }
  bool Drained(unsigned phase) const { return counts_[phase].readers.load(std::memory_order_seq_cst) == 0; }

 private:
  // Each count on a cache line of its own, away from the phase that every call reads.
  struct alignas(64) Count {
    std::atomic<uint64_t> readers{0};
  };
  Count counts_[2];
  alignas(64) std::atomic<unsigned> phase_{0};
};

}  // namespace vykcn
