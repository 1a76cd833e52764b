// The AVX-512 tile kernel once more, counting live cells with VPOPCNTQ
// (compiled for that extension too, and called only where the processor
// has it).
#define GOL_AVX512_POPCOUNT 1
#include "TileKernelAvx512.cpp"
