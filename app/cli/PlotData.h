#pragma once
// Turns the rows of a data file into what the window holds after that run: the samples
// its charts are drawn from, and the latest readings its status text shows.

#include <vector>

#include "measure/DataFileReader.h"

struct Readings;
struct SampleStore;

// Fills store with one sample per row (time in minutes from column 1, impedance column 6,
// phase column 7), at most SampleStore::kCapacity of them, the first ones, as the window's
// store keeps them; and readings from the last row. Returns how many rows did not fit.
std::size_t FillFromRows(const std::vector<DataRow>& rows, Readings& readings, SampleStore& store);
