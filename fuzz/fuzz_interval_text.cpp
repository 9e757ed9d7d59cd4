// Any text typed into the Setup dialog's interval field: the check always answers with one
// of its two messages or an accepted value in range, and accepts exactly the blank-padded
// base-10 integers.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "measure/IntervalInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const IntervalCheck check = CheckIntervalText(text);
    if (check.ok) {
        if (check.value < kMinInterval || check.value > kMaxInterval) std::abort();
        if (!check.message.empty()) std::abort();
        // What was accepted reads back as the same number.
        const std::size_t digits = text.find_first_of("0123456789");
        if (digits == std::string::npos) std::abort();
        if (std::strtol(text.c_str() + digits, nullptr, 10) != check.value &&
            text.find('-') == std::string::npos) {
            std::abort();
        }
    } else if (check.message != "Please enter an integer." &&
               check.message != "Please enter an integer between 2 and 600.") {
        std::abort();
    }
    return 0;
}
