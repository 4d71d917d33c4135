// The console reporter of the benchmark programs that compare runs: it prints the runs as the
// console does, keeps each run's CPU time (the median of its repetitions, so that one disturbed
// repetition does not decide a ratio) and its counters, and after the last run prints the table of
// ratios that the program writes in PrintRatios, each beside its target.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) {
                continue;
            }
            const std::string& name = run.run_name.function_name;
            fTimes[name].push_back(run.GetAdjustedCPUTime());
            for (const auto& [counter, value] : run.counters) {
                fCounters[name][counter] = value.value;
            }
        }
    }

    void Finalize() override {
        std::ostream& out = GetOutputStream();
        out << "\nRatios (CPU time, median of the repetitions; target in brackets)\n";
        PrintRatios(out);
        ConsoleReporter::Finalize();
    }

protected:
    // Writes the program's ratios with Ratio and Time.
    virtual void PrintRatios(std::ostream& out) = 0;

    // The median CPU time of the run's repetitions, in the run's unit; none when it did not run.
    const double* Median(const std::string& run) {
        const auto found = fTimes.find(run);
        if (found == fTimes.end() || found->second.empty()) {
            return nullptr;
        }
        std::vector<double>& times = found->second;
        std::sort(times.begin(), times.end());
        const std::size_t middle = times.size() / 2;
        fMedians[run] = times.size() % 2 == 1 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
        return &fMedians[run];
    }

    // A counter of the run's last repetition; none when it has none.
    const double* Counter(const std::string& run, const std::string& counter) const {
        const auto found = fCounters.find(run);
        if (found == fCounters.end()) {
            return nullptr;
        }
        const auto value = found->second.find(counter);
        return value == found->second.end() ? nullptr : &value->second;
    }

    // The names of the runs that took place, in order.
    std::vector<std::string> Runs() const {
        std::vector<std::string> names;
        for (const auto& [name, times] : fTimes) {
            names.push_back(name);
        }
        return names;
    }

    // The time of one run over another's, the second scaled up by `scale`. With `less`, also the
    // ratio of the two after taking that run's time from both (what the commands cost beyond the
    // empty call), unless that run is most of the floor and the difference only noise. Nothing when
    // either run did not take place.
    void Ratio(std::ostream& out, const std::string& label, const std::string& run, const std::string& floor,
               const std::string& target, double scale = 1.0, const std::string& less = {}) {
        const double* a = Median(run);
        const double* b = Median(floor);
        if (a == nullptr || b == nullptr || *b <= 0) {
            return;
        }
        out << "  " << label << ": " << *a / (*b * scale) << "x";
        if (!target.empty()) {
            out << " [" << target << "x]";
        }
        if (const double* c = less.empty() ? nullptr : Median(less)) {
            if (*b - *c > *b / 4) {
                out << " (beyond the empty call: " << (*a - *c) / (*b - *c) << "x)";
            } else {
                out << " (the empty call is most of both)";
            }
        }
        out << "\n";
    }

    // One run's time beside its target, both in milliseconds (runs report in milliseconds).
    void Time(std::ostream& out, const std::string& label, const std::string& run,
              const std::string& target) {
        const double* time = Median(run);
        if (time == nullptr) {
            return;
        }
        out << "  " << label << ": " << *time << " ms";
        if (!target.empty()) {
            out << " [" << target << " ms]";
        }
        out << "\n";
    }

private:
    std::map<std::string, std::vector<double>> fTimes;
    std::map<std::string, double> fMedians;
    std::map<std::string, std::map<std::string, double>> fCounters;
};
