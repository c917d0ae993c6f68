// Temporary names known beforehand, for the tests of every program that
// writes through the safe write: its numbers come from a script, so that a
// test can put a file or a link at the very name a write will try first.
// The names are put together here from their form,
// "<folder>.<first 40 characters of the name>.zekar-<16 hex digits>",
// never by the code under test.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "engine/safewrite/safe_write_file.h"

namespace safewrite_test {

// While one lives, the safe write draws the scripted numbers in order;
// past their end it draws numbers counting up from 2^63, which no script
// here uses, so that a test's later writes still find free names.
class ScriptedNumbers {
public:
    explicit ScriptedNumbers(std::vector<uint64_t> numbers) {
        script = std::move(numbers);
        drawn = 0;
        ZKI_SetSafeWriteNumberForTesting(Next);
    }
    ~ScriptedNumbers() { ZKI_SetSafeWriteNumberForTesting(nullptr); }
    ScriptedNumbers(const ScriptedNumbers&) = delete;
    ScriptedNumbers& operator=(const ScriptedNumbers&) = delete;

    // How many numbers have been drawn so far.
    size_t Drawn() const { return drawn; }

private:
    static uint64_t Next() {
        size_t index = drawn++;
        return index < script.size() ? script[index] : (uint64_t(1) << 63) + index;
    }
    static inline std::vector<uint64_t> script;
    static inline size_t drawn = 0;
};

// The temporary file the safe write makes beside path with this number.
inline std::string TemporaryNameFor(const std::string& path, uint64_t number) {
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    char digits[17];
    snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(number));
    return folder + "." + name.substr(0, 40) + ".zekar-" + digits;
}

}  // namespace safewrite_test
