#pragma once
// Element accessors and transforms: how a chart reads one value of a caller's typed array.
//
// An accessor takes the start of an array and an element index (counted in elements, not
// bytes) and returns that element as a double, exactly. Reads go through memcpy, so the
// data need not be aligned for its type. A transform is applied to every value after it is
// read; Identity is the default.

using GraphAccessor = double (*)(const void* pData, int nIndex);
using GraphTransform = double (*)(double dValue);

// Element type codes 0 to 12 accepted by CGraph::AddSeries; any other code reads
// unsigned char.
constexpr int kGraphTypeCodes = 13;

double GetFloat(const void* pData, int nIndex);       // 0: 32-bit IEEE float
double GetDouble(const void* pData, int nIndex);      // 1: 64-bit IEEE double
double GetLongDouble(const void* pData, int nIndex);  // 2: 8-byte elements read as double
double GetChar(const void* pData, int nIndex);        // 3: signed 8-bit
double GetUChar(const void* pData, int nIndex);       // 4 and unknown codes: unsigned 8-bit
double GetShort(const void* pData, int nIndex);       // 5: signed 16-bit
double GetUShort(const void* pData, int nIndex);      // 6: unsigned 16-bit
double GetInt(const void* pData, int nIndex);         // 7: signed 32-bit
double GetUInt(const void* pData, int nIndex);        // 8: unsigned 32-bit
double GetLong(const void* pData, int nIndex);        // 9: 32-bit elements read as code 7
double GetULong(const void* pData, int nIndex);       // 10: 32-bit elements read as code 8
// 11 and 12: the index itself; the data pointer is never touched and may be null.
double GetIndex(const void* pData, int nIndex);

// Returns its argument unchanged.
double Identity(double dValue);
