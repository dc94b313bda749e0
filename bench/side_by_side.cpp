#include "bench/side_by_side.h"

#include <algorithm>
#include <chrono>

namespace bench {

std::map<std::string, double> SideBySide(const std::vector<Case>& cases, int rounds) {
    using Clock = std::chrono::steady_clock;
    constexpr int kWarmRounds = 20;
    std::vector<std::vector<double>> samples(cases.size());
    for (int round = -kWarmRounds; round < rounds; ++round) {
        for (std::size_t k = 0; k < cases.size(); ++k) {
            const std::size_t i = (k + static_cast<std::size_t>(std::max(round, 0))) % cases.size();
            cases[i].prepare();
            const auto start = Clock::now();
            cases[i].step();
            const auto end = Clock::now();
            if (round >= 0) samples[i].push_back(std::chrono::duration<double, std::nano>(end - start).count());
        }
    }
    std::map<std::string, double> medians;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::vector<double>& s = samples[i];
        std::nth_element(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(s.size() / 2), s.end());
        medians[cases[i].name] = s[s.size() / 2];
    }
    return medians;
}

}  // namespace bench
