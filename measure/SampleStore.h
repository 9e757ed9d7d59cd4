#pragma once
// In-memory samples the charts are drawn from: fixed storage, never allocated per sample.

#include <array>

// Sample times are minutes: elapsed seconds times this (the double nearest 1/60; a
// multiplication, as every sample is converted).
constexpr double kMinutesPerSecond = 0.016666666666666666;

struct SampleStore {
    static constexpr int kCapacity = 65536;
    std::array<double, kCapacity> timeMinutes{};
    std::array<double, kCapacity> impedance{};
    std::array<double, kCapacity> phase{};
    int count = 0;  // entries 0 .. count-1 are valid
};

// Appends one sample. Returns false, storing nothing, once the store holds kCapacity
// samples: the caller keeps recording to the data file and tells the user.
bool AddSample(SampleStore& store, double timeMinutes, double impedance, double phase);
