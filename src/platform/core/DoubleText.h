#pragma once
// Doubles written and read as text the way query strings and stored identifiers expect.
#include <QString>
#include <optional>

namespace velk {

// The shortest decimal text that reads back as the same double, always with a fraction or an
// exponent: 51.5072, -0.1276, 40.0, -0.0, 1e-05, 1.5e-07, 2.5e+20. Magnitudes below 1e-4 and
// above 2^54 take the exponent form (at least two exponent digits, signed). Non-finite values
// give "nan", "inf" and "-inf".
QString shortestDoubleText(double value);

// A whole-text decimal number: an optional sign, digits with an optional fraction (at least one
// digit in all), and an optional exponent. No spaces, no hex, no "inf" or "nan"; a value that
// overflows to infinity is not a number either.
std::optional<double> parseDecimalDouble(const QString& text);

} // namespace velk
