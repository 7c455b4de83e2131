#pragma once
// Numbers from text and numbers into text. Every number Tagwell reads from typed or stored text, a
// file or a database value goes through LeadingNumber; every 16-bit counter, row number, position
// and size through ToInt16. Nothing else in the program parses numbers on its own.
#include <QString>
#include <QStringView>
#include <cstdint>

// The value of the longest prefix of `text` that reads as a number: optional sign, digits,
// optional decimal point with digits, optional exponent (E or D). Spaces and tabs anywhere in it
// are skipped ("1 2" reads 12). "&H" and "&O" introduce hexadecimal and octal digits; four digits
// or fewer are a 16-bit value and eight or fewer a 32-bit value, so "&HFFFF" is -1. A text that
// does not start with a number gives 0.
double LeadingNumber(QStringView text);

// Nearest integer, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double value);

// Rounded (half to even) and checked: outside -32768..32767 (or not finite) throws a TagwellError
// numbered ErrorNumber::Overflow.
std::int16_t ToInt16(double value);
std::int32_t ToInt32(double value);

// Shorthands for the common case of a 16-bit integer read from text.
inline std::int16_t TextToInt16(QStringView text) { return ToInt16(LeadingNumber(text)); }

// The number-to-text form that puts one space before a non-negative number: 4 -> " 4", -1 -> "-1".
QString NumberToText(double value);
