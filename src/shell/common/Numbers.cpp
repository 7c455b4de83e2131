#include "shell/common/Numbers.h"

#include "platform/TagwellError.h"

#include <cmath>
#include <limits>
#include <string>

namespace {

bool isBlankChar(QChar c) { return c == u' ' || c == u'\t'; }

// Reads &H / &O digits after the prefix; `radix` is 16 or 8.
double radixNumber(QStringView text, qsizetype pos, int radix) {
    std::uint64_t value = 0;
    int digits = 0;
    for (; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (isBlankChar(c)) continue;
        int d = -1;
        if (c >= u'0' && c <= u'9') d = c.unicode() - u'0';
        else if (radix == 16 && c >= u'a' && c <= u'f') d = c.unicode() - u'a' + 10;
        else if (radix == 16 && c >= u'A' && c <= u'F') d = c.unicode() - u'A' + 10;
        if (d < 0 || d >= radix) break;
        if (value > (std::numeric_limits<std::uint64_t>::max() >> 4)) break;  // keep what fits
        value = value * radix + d;
        ++digits;
    }
    // Hex and octal constants are 16-bit when they fit four hex digits (six octal), 32-bit when
    // they fit eight hex (eleven octal): the top bit is the sign, as the stores' files expect.
    if (value <= 0xFFFF && digits > 0) return static_cast<double>(static_cast<std::int16_t>(value));
    if (value <= 0xFFFFFFFFull) return static_cast<double>(static_cast<std::int32_t>(value));
    return static_cast<double>(value);
}

}  // namespace

double LeadingNumber(QStringView text) {
    qsizetype pos = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (pos < n && isBlankChar(text[pos])) ++pos;
    };
    skipBlanks();
    if (pos + 1 < n && text[pos] == u'&') {
        qsizetype p = pos + 1;
        while (p < n && isBlankChar(text[p])) ++p;
        if (p < n && (text[p] == u'H' || text[p] == u'h')) return radixNumber(text, p + 1, 16);
        if (p < n && (text[p] == u'O' || text[p] == u'o')) return radixNumber(text, p + 1, 8);
        return 0.0;
    }

    // Collect the accepted characters into a plain C locale number and let strtod read it.
    std::string buf;
    buf.reserve(32);
    if (pos < n && (text[pos] == u'+' || text[pos] == u'-')) {
        buf.push_back(static_cast<char>(text[pos].unicode()));
        ++pos;
    }
    bool mantissaDigits = false;
    bool seenPoint = false;
    for (; pos < n; ++pos) {
        const QChar c = text[pos];
        if (isBlankChar(c)) continue;
        if (c >= u'0' && c <= u'9') {
            buf.push_back(static_cast<char>(c.unicode()));
            mantissaDigits = true;
        } else if (c == u'.' && !seenPoint) {
            buf.push_back('.');
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!mantissaDigits) return 0.0;

    // An exponent counts only when digits follow it ("1e" reads 1).
    if (pos < n && (text[pos] == u'e' || text[pos] == u'E' || text[pos] == u'd' || text[pos] == u'D')) {
        std::string exp = "e";
        qsizetype p = pos + 1;
        while (p < n && isBlankChar(text[p])) ++p;
        if (p < n && (text[p] == u'+' || text[p] == u'-')) {
            exp.push_back(static_cast<char>(text[p].unicode()));
            ++p;
        }
        bool expDigits = false;
        for (; p < n; ++p) {
            const QChar c = text[p];
            if (isBlankChar(c)) continue;
            if (c >= u'0' && c <= u'9') {
                if (exp.size() < 12) exp.push_back(static_cast<char>(c.unicode()));
                expDigits = true;
            } else {
                break;
            }
        }
        if (expDigits) buf += exp;
    }
    return std::strtod(buf.c_str(), nullptr);
}

double RoundHalfEven(double value) {
    // nearbyint rounds in the current rounding mode, which is round-to-nearest-even by default.
    return std::nearbyint(value);
}

std::int16_t ToInt16(double value) {
    const double r = RoundHalfEven(value);
    if (!std::isfinite(r) || r < -32768.0 || r > 32767.0)
        throw TagwellError(ErrorNumber::Overflow, QStringLiteral("Overflow"));
    return static_cast<std::int16_t>(r);
}

std::int32_t ToInt32(double value) {
    const double r = RoundHalfEven(value);
    if (!std::isfinite(r) || r < -2147483648.0 || r > 2147483647.0)
        throw TagwellError(ErrorNumber::Overflow, QStringLiteral("Overflow"));
    return static_cast<std::int32_t>(r);
}

QString NumberToText(double value) {
    QString digits = (value == std::floor(value) && std::fabs(value) < 1e15)
                         ? QString::number(static_cast<qint64>(value))
                         : QString::number(value, 'g', 15);
    return value >= 0 ? QStringLiteral(" ") + digits : digits;
}
