// Numbers from text: every typed, stored or file number goes through LeadingNumber and, where a
// 16-bit value is wanted, ToInt16. The input is read both as Windows single-byte text and as UTF-8.
#include "FuzzSupport.h"
#include "platform/TagwellError.h"
#include "shell/common/Numbers.h"

#include <cmath>

namespace {
void check(const QString& text) {
    const double value = LeadingNumber(text);
    const double rounded = RoundHalfEven(value);
    // A half goes to the even neighbour; nothing else moves by more than a half.
    if (std::isfinite(value)) FUZZ_CHECK(std::fabs(rounded - value) <= 0.5);

    const bool fits16 = std::isfinite(rounded) && rounded >= -32768.0 && rounded <= 32767.0;
    try {
        const std::int16_t n = ToInt16(value);
        FUZZ_CHECK(fits16 && n == rounded);
        FUZZ_CHECK(TextToInt16(text) == n);
        // The number-to-text form of a 16-bit value reads back as the same value.
        FUZZ_CHECK(LeadingNumber(NumberToText(n)) == n);
    } catch (const TagwellError& e) {
        FUZZ_CHECK(!fits16 && e.number() == ErrorNumber::Overflow);
    }

    const bool fits32 = std::isfinite(rounded) && rounded >= -2147483648.0 && rounded <= 2147483647.0;
    try {
        const std::int32_t n = ToInt32(value);
        FUZZ_CHECK(fits32 && n == rounded);
    } catch (const TagwellError& e) {
        FUZZ_CHECK(!fits32 && e.number() == ErrorNumber::Overflow);
    }
    (void)NumberToText(value);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const auto n = static_cast<qsizetype>(size);
    check(QString::fromLatin1(bytes, n));
    check(QString::fromUtf8(bytes, n));
    return 0;
}
