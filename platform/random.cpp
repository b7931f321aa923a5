// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/random.h"

#include <chrono>

namespace {

std::uint64_t nanosecondsSinceMidnight()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto midnight = floor<days>(now);
    return static_cast<std::uint64_t>(duration_cast<nanoseconds>(now - midnight).count());
}

} // namespace

TimeSeededRandom::TimeSeededRandom()
{
    reseed();
}

double TimeSeededRandom::uniform()
{
    // 53 random bits scaled by 2^-53: never reaches 1.
    return double(m_engine() >> 11) * 0x1.0p-53;
}

void TimeSeededRandom::reseed()
{
    const std::uint64_t t = nanosecondsSinceMidnight();
    const std::uint64_t n = ++m_reseeds;
    std::seed_seq seq{std::uint32_t(t), std::uint32_t(t >> 32), std::uint32_t(n),
                      std::uint32_t(n >> 32)};
    m_engine.seed(seq);
}
