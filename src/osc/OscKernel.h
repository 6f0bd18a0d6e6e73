#pragma once

// The per-sample and per-byte loops of the hot paths are built twice: for
// AVX2 and for baseline x86-64, which lacks vector integer min/max and 32-bit
// multiplies; the loader picks the one the processor can run.
#if defined(__x86_64__) && defined(__linux__)
#define OSC_VECTOR_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define OSC_VECTOR_KERNEL
#endif
