#pragma once
// Console reporter that, after the usual table, prints one benchmark's time over
// its floor's, both measured in the same run: "<label> = <ratio> (<note>)".
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>

namespace typeloom::bench {

class RatioReporter final : public benchmark::ConsoleReporter {
 public:
  RatioReporter(std::string name, std::string floor, std::string label, std::string note)
      : name_(std::move(name)), floor_(std::move(floor)), label_(std::move(label)), note_(std::move(note)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    // One time per benchmark: the single run, or the mean of repetitions.
    for (const Run& r : runs) {
      if (r.run_type == Run::RT_Iteration || r.aggregate_name == "mean") {
        times_[r.run_name.function_name] = r.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const auto measured = times_.find(name_), floor = times_.find(floor_);
    if (measured != times_.end() && floor != times_.end() && floor->second > 0) {
      std::printf("%s = %.3f (%s)\n", label_.c_str(), measured->second / floor->second, note_.c_str());
    }
  }

 private:
  std::string name_, floor_, label_, note_;
  std::map<std::string, double> times_;
};

}  // namespace typeloom::bench
