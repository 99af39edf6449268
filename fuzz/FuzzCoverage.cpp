// -fsanitize-coverage=trace-pc (g++ and clang++ alike) calls
// __sanitizer_cov_trace_pc at the start of every basic block. AFL++'s
// runtime (afl-compiler-rt.o) has the fork server, the persistent loop and
// the comparison hooks of trace-cmp, but takes its edges from trace-pc-guard;
// this hook counts the edge from the previous block to this one in AFL++'s
// map instead, as its own instrumentation does.

#include <cstdint>

extern "C" uint8_t* __afl_area_ptr;

namespace {

constexpr uintptr_t kMapMask = (1u << 16) - 1;  // AFL++'s default map of 64 KiB
uintptr_t previousBlock = 0;

}  // namespace

extern "C" void __sanitizer_cov_trace_pc() {
  const uintptr_t pc = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
  const uintptr_t block = ((pc ^ (pc >> 16)) * 0x9E3779B1u >> 8) & kMapMask;
  ++__afl_area_ptr[block ^ previousBlock];
  previousBlock = block >> 1;
}

// trace-cmp also reports floating-point comparisons, which AFL++'s runtime
// does not take: nothing is learnt from them.
extern "C" void __sanitizer_cov_trace_cmpf(float, float) {}
extern "C" void __sanitizer_cov_trace_cmpd(double, double) {}
