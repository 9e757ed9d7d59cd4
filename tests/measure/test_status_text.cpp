#include <gtest/gtest.h>

#include <cmath>

#include "measure/MeasurementState.h"
#include "measure/StatusText.h"

TEST(StatusText, FormatsEachFieldLikeItsConversion) {
    struct Case {
        Readings readings;
        const char* secondLine;
    };
    const Case cases[] = {
        {{},
         "Time= 0.000 s, Voltage=0.0 mV, 0.000, Current=0.0 uA, 0.000, Impedance=0.0 Ohm, 0.000"},
        {{12.0, 0.05, -12.5, 2e-6, -40.25, 25000.0, 27.75},
         "Time=12.000 s, Voltage=50.0 mV, -12.500, Current=2.0 uA, -40.250, Impedance=25000.0 Ohm, "
         "27.750"},
        {{1.5, 0.1, 0.0, 1e-6, 0.0, 100000.0, 0.0},
         "Time= 1.500 s, Voltage=100.0 mV, 0.000, Current=1.0 uA, 0.000, Impedance=100000.0 Ohm, "
         "0.000"},
        {{12345.678, -0.00004, 1.0004, 0.25, 359.9999, 1.25, -0.0004},
         "Time=12345.678 s, Voltage=-0.0 mV, 1.000, Current=250000.0 uA, 360.000, Impedance=1.2 "
         "Ohm, -0.000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatStatusLine(c.readings), c.secondLine);
        EXPECT_EQ(FormatStatusText(c.readings),
                  std::string("Varkel Lock-in amplifier driver\n") + c.secondLine);
    }
}

TEST(StatusText, AbsurdValuesAreCutAtTheBoundInsteadOfOverflowing) {
    Readings huge{1e300, 1e300, -1e300, 1e300, 1e300, 1e308, -1e308};
    const std::string text = FormatStatusText(huge);
    EXPECT_EQ(text.size(), kStatusTextMax);
    EXPECT_EQ(text.rfind("Varkel Lock-in amplifier driver\nTime=1000000000", 0), 0u);

    Readings odd{std::nan(""), 0, 0, INFINITY, 0, 0, 0};
    EXPECT_EQ(
        FormatStatusLine(odd).rfind("Time=   nan s, Voltage=0.0 mV, 0.000, Current=inf uA", 0), 0u);
}
