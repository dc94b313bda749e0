// Timing cases side by side: in every round each case runs once, in an order shuffled
// anew each round, so that load from elsewhere on a shared machine falls on all cases
// alike; the figure of a case is its median over the rounds.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace bench {

struct Case {
    std::string name;
    std::function<void()> prepare;  // untimed, before every timed step
    std::function<void()> step;
};

// Median nanoseconds of each case's step, after a few untimed rounds.
std::map<std::string, double> SideBySide(const std::vector<Case>& cases, int rounds);

// The cases: DrawSprite through each effect ("draw/E") and the peers' operators
// ("pixman_add", …, "sdl_blend") on the same pixels; whole composed frames ("compose/E").
std::vector<Case> BlendCases();
std::vector<Case> ComposeCases();

}  // namespace bench
