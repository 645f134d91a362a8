// The calculator's expression line: a finite result or none.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "frame/ui/OrvCalc.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto v = frame::EvalCalcExpression(
        QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (v) FUZZ_CHECK(std::isfinite(*v));
    return 0;
}
