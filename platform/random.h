// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>

// Uniform draws in [0, 1) and a reseed from the time of day, the two
// things question dealing asks of a generator.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual double uniform() = 0;
    virtual void reseed() = 0;
};

class TimeSeededRandom final : public RandomSource
{
public:
    TimeSeededRandom();
    double uniform() override;
    void reseed() override;

private:
    std::mt19937_64 m_engine;
    // Two reseeds within one clock step must still differ.
    std::uint64_t m_reseeds = 0;
};
