// A plain frame-by-frame renderer written straight from the mixing and clock
// rules, kept apart from the Player's own mixer. The exactness tests run it
// side by side with Player::render and demand identical bytes and state.
#pragma once

#include <cstdint>

#include <gtest/gtest.h>

#include "audio/player.hpp"

namespace korvale::test {

void referenceRender(Player& player, const AssetImage& image, StereoFrame* frames, std::int32_t count);

// Every field of the two players, doubles compared bit for bit.
void expectSameState(const Player& expected, const Player& actual);

}  // namespace korvale::test
