#pragma once

class HModelCache;

// The benchmarks' host model: a side x side grid of quads in the current
// project, split into two groups ("lower half", "upper half"), with one color
// decal over all of it. Built once per process and kept.
HModelCache* BenchGridModel(int side);

// The process's peak resident memory so far, in megabytes.
double PeakMemoryMegabytes();
