// Timing benchmark: delay(10) over 100 calls, with the timer at 1 ms
// resolution; prints the mean and the spread of the measured pauses.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "runtime/threads.h"

int main() {
  constexpr int kCalls = 100;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> pauses;
  for (int i = 0; i < kCalls; ++i) {
    QueryPerformanceCounter(&start);
    delay(10);
    QueryPerformanceCounter(&end);
    pauses.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                     frequency.QuadPart);
  }
  double sum = 0;
  for (double p : pauses) sum += p;
  const double mean = sum / kCalls;
  double squares = 0;
  for (double p : pauses) squares += (p - mean) * (p - mean);
  std::sort(pauses.begin(), pauses.end());
  std::printf(
      "delay(10) over %d calls: mean %.3f ms, standard deviation %.3f ms, "
      "min %.3f ms, median %.3f ms, max %.3f ms\n",
      kCalls, mean, std::sqrt(squares / kCalls), pauses.front(), pauses[kCalls / 2], pauses.back());
  return 0;
}
