// Helpers shared by the host tests on the simulated platform.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/sim/sim_control.hpp"

namespace korvale::testing {

// Every test starts on a fresh simulated machine.
struct SimTest : ::testing::Test {
    void SetUp() override { platform::sim::reset(); }
};

// Waits in real time for something the real audio thread does.
template <typename Predicate>
bool eventually(Predicate predicate) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// True exactly once: the first time `now` reaches `when`.
struct Once {
    bool done = false;
    bool at(double now, double when) {
        if (done || now < when) {
            return false;
        }
        done = true;
        return true;
    }
};

}  // namespace korvale::testing
