#include "PlotData.h"

#include "measure/MeasurementState.h"
#include "measure/SampleStore.h"

std::size_t FillFromRows(const std::vector<DataRow>& rows, Readings& readings, SampleStore& store) {
    store.count = 0;
    std::size_t left = 0;
    for (const DataRow& row : rows) {
        if (!AddSample(store, row[0] * kMinutesPerSecond, row[5], row[6])) ++left;
    }
    if (!rows.empty()) {
        const DataRow& last = rows.back();
        readings.elapsedSeconds = last[0];
        readings.voltage = last[1];
        readings.voltagePhase = last[2];
        readings.current = last[3];
        readings.currentPhase = last[4];
        readings.impedance = last[5];
        readings.impedancePhase = last[6];
    }
    return left;
}
