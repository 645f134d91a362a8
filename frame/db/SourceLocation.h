// Where a statement or a scope was written, for the statement log.
// std::source_location where the standard library has it; clang 14 over
// libstdc++ 12 (the fuzz builds) lacks it, and the compiler builtins give the
// same answers there.
#pragma once

#include <version>

#if defined(__cpp_lib_source_location)
#include <source_location>
namespace orvdb {
using SourceLocation = std::source_location;
}
#else
#include <cstdint>
namespace orvdb {
struct SourceLocation {
    static constexpr SourceLocation current(const char* file = __builtin_FILE(), std::uint_least32_t line = __builtin_LINE(),
                                            const char* function = __builtin_FUNCTION()) noexcept {
        SourceLocation s;
        s.m_file = file;
        s.m_line = line;
        s.m_function = function;
        return s;
    }
    constexpr const char* file_name() const noexcept { return m_file; }
    constexpr const char* function_name() const noexcept { return m_function; }
    constexpr std::uint_least32_t line() const noexcept { return m_line; }
    constexpr std::uint_least32_t column() const noexcept { return 0; }

    const char* m_file = "";
    std::uint_least32_t m_line = 0;
    const char* m_function = "";
};
}  // namespace orvdb
#endif
