#include "graph/GraphAccessors.h"

#include <cstdint>
#include <cstring>

namespace {

// Reads element nIndex of an array of T. memcpy keeps unaligned data well defined and
// compiles to a plain load.
template <typename T>
double ReadElement(const void* pData, int nIndex) {
    T value;
    std::memcpy(&value,
                static_cast<const unsigned char*>(pData) +
                    static_cast<std::ptrdiff_t>(nIndex) * static_cast<std::ptrdiff_t>(sizeof(T)),
                sizeof(T));
    return static_cast<double>(value);
}

}  // namespace

double GetFloat(const void* pData, int nIndex) { return ReadElement<float>(pData, nIndex); }
double GetDouble(const void* pData, int nIndex) { return ReadElement<double>(pData, nIndex); }
// The chart's long double is the 8-byte double format, whatever this compiler's long double.
double GetLongDouble(const void* pData, int nIndex) { return ReadElement<double>(pData, nIndex); }
double GetChar(const void* pData, int nIndex) { return ReadElement<std::int8_t>(pData, nIndex); }
double GetUChar(const void* pData, int nIndex) { return ReadElement<std::uint8_t>(pData, nIndex); }
double GetShort(const void* pData, int nIndex) { return ReadElement<std::int16_t>(pData, nIndex); }
double GetUShort(const void* pData, int nIndex) {
    return ReadElement<std::uint16_t>(pData, nIndex);
}
double GetInt(const void* pData, int nIndex) { return ReadElement<std::int32_t>(pData, nIndex); }
double GetUInt(const void* pData, int nIndex) { return ReadElement<std::uint32_t>(pData, nIndex); }
// The chart's long is 32 bits wide on every platform, whatever this compiler's long.
double GetLong(const void* pData, int nIndex) { return ReadElement<std::int32_t>(pData, nIndex); }
double GetULong(const void* pData, int nIndex) { return ReadElement<std::uint32_t>(pData, nIndex); }

double GetIndex(const void* /*pData*/, int nIndex) { return static_cast<double>(nIndex); }

double Identity(double dValue) { return dValue; }
