// Runs the benchmarks with repetitions and prints, besides Google Benchmark's own report
// on stderr, a Markdown table on stdout: each case's median CPU time as a ratio to the
// median of its baseline, and the case's counters.
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "bench/paired.h"

namespace {

struct Pair {
  std::string name, baselineName, baselineWhat;
};

std::vector<Pair>& Pairs() {
  static std::vector<Pair> pairs;
  return pairs;
}

// Keeps the medians of the repetitions, printing the usual console report as well.
class MedianCollector : public benchmark::ConsoleReporter {
 public:
  struct Median {
    double cpuTime = 0;
    benchmark::UserCounters counters;
  };
  std::map<std::string, Median> medians;

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians[run.run_name.function_name] = Median{run.GetAdjustedCPUTime(), run.counters};
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

std::string Counters(const benchmark::UserCounters& counters) {
  std::string text;
  for (const auto& [name, counter] : counters) {
    char value[64];
    std::snprintf(value, sizeof value, "%s=%g", name.c_str(), counter.value);
    text += (text.empty() ? "" : ", ") + std::string(value);
  }
  return text;
}

}  // namespace

void RegisterPaired(const std::string& name, BenchFunction measured, const std::string& baselineName,
                    const std::string& baselineWhat, BenchFunction baseline) {
  benchmark::RegisterBenchmark(name.c_str(), measured);
  bool known = false;
  for (const Pair& p : Pairs()) known = known || p.baselineName == baselineName;
  if (!known) benchmark::RegisterBenchmark(baselineName.c_str(), baseline);
  Pairs().push_back({name, baselineName, baselineWhat});
}

int main(int argc, char** argv) {
  RegisterValidateBenchmarks();
  RegisterLocalizedTextBenchmarks();
  RegisterProfileReaderBenchmarks();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  MedianCollector collector;
  collector.SetOutputStream(&std::cerr);
  collector.SetErrorStream(&std::cerr);
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();

  std::printf("| case | median CPU time / baseline | baseline | counters |\n|---|---:|---|---|\n");
  int missing = 0;
  for (const Pair& p : Pairs()) {
    const auto measured = collector.medians.find(p.name);
    const auto baseline = collector.medians.find(p.baselineName);
    if (measured == collector.medians.end() || baseline == collector.medians.end() || baseline->second.cpuTime <= 0) {
      std::printf("| %s | not measured | %s | |\n", p.name.c_str(), p.baselineWhat.c_str());
      ++missing;
      continue;
    }
    std::printf("| %s | %.2f | %s | %s |\n", p.name.c_str(), measured->second.cpuTime / baseline->second.cpuTime,
                p.baselineWhat.c_str(), Counters(measured->second.counters).c_str());
  }
  return missing == 0 ? 0 : 1;
}
