#include "SampleStore.h"

bool AddSample(SampleStore& store, double timeMinutes, double impedance, double phase) {
    if (store.count < 0 || store.count >= SampleStore::kCapacity) return false;
    store.timeMinutes[store.count] = timeMinutes;
    store.impedance[store.count] = impedance;
    store.phase[store.count] = phase;
    ++store.count;
    return true;
}
