// Benchmarks reported as a ratio to a baseline measured in the same run: on a shared
// machine absolute times are noise, a ratio to plain work on the same bytes is not.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

using BenchFunction = std::function<void(benchmark::State&)>;

// Registers `measured` as `name` and `baseline` as its baseline, described for the table
// by `baselineWhat` ("memcpy of the image"). Baselines with equal names are shared.
void RegisterPaired(const std::string& name, BenchFunction measured, const std::string& baselineName,
                    const std::string& baselineWhat, BenchFunction baseline);

// The groups of benchmarks, registered from main.
void RegisterValidateBenchmarks();
void RegisterLocalizedTextBenchmarks();
void RegisterProfileReaderBenchmarks();
