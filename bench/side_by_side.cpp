#include "bench/side_by_side.h"

#include <algorithm>
#include <chrono>
#include <numeric>
#include <random>

namespace bench {

std::map<std::string, double> SideBySide(const std::vector<Case>& cases, int rounds) {
    using Clock = std::chrono::steady_clock;
    constexpr int kWarmRounds = 20;
    std::vector<std::vector<double>> samples(cases.size());
    std::vector<std::size_t> order(cases.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::mt19937 rng(2026);
    for (int round = -kWarmRounds; round < rounds; ++round) {
        // A new order every round: no case always follows the same one (whose traces in
        // the caches would then always fall on it).
        std::shuffle(order.begin(), order.end(), rng);
        for (const std::size_t i : order) {
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
