#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "model/peak.h"

namespace norvalt {

// One detector channel of a chromatogram file. The samples and the two
// header values are carried unchanged; the lock guards the samples while a
// save copies them and is never copied itself.
struct Channel {
    using BlockValue = std::array<std::uint8_t, 8>;

    std::uint32_t number = 0;  // 0..255, one byte in the block header
    std::vector<std::uint32_t> samples;
    mutable std::mutex samplesLock;
    BlockValue blockValueA{};
    BlockValue blockValueB{};
    std::vector<Peak> peaks;

    Channel() = default;
    Channel(std::uint8_t number, const BlockValue& a, const BlockValue& b,
            const std::uint32_t* words, std::size_t count)
        : number(number), samples(words, words + count), blockValueA(a), blockValueB(b)
    {
    }

    Channel(const Channel& other)
        : number(other.number), samples(other.lockedSamples()), blockValueA(other.blockValueA),
          blockValueB(other.blockValueB), peaks(other.peaks)
    {
    }

    Channel(Channel&& other) noexcept
        : number(other.number), samples(std::move(other.samples)), blockValueA(other.blockValueA),
          blockValueB(other.blockValueB), peaks(std::move(other.peaks))
    {
    }

    Channel& operator=(const Channel& other)
    {
        if (this != &other) {
            auto copy = other.lockedSamples();
            number = other.number;
            {
                std::lock_guard<std::mutex> guard(samplesLock);
                samples = std::move(copy);
            }
            blockValueA = other.blockValueA;
            blockValueB = other.blockValueB;
            peaks = other.peaks;
        }
        return *this;
    }

    Channel& operator=(Channel&& other) noexcept
    {
        if (this != &other) {
            number = other.number;
            samples = std::move(other.samples);
            blockValueA = other.blockValueA;
            blockValueB = other.blockValueB;
            peaks = std::move(other.peaks);
        }
        return *this;
    }

    // A copy of the samples taken under the lock.
    std::vector<std::uint32_t> lockedSamples() const
    {
        std::lock_guard<std::mutex> guard(samplesLock);
        return samples;
    }
};

} // namespace norvalt
