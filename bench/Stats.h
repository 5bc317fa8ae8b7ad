// Medians and best runs of repeated timings, shared by the benchmarks: the
// best run shows the cost without the machine's other work, the median what
// a user sees.
#pragma once

#include <algorithm>
#include <vector>

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

inline double Best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
