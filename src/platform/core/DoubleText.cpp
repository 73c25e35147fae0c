#include "platform/core/DoubleText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace velk {

QString shortestDoubleText(double value)
{
    if (std::isnan(value)) return QStringLiteral("nan");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");

    // The shortest round-trip digits in scientific form, d.ddde±XX, rearranged below.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const std::string sci(buf, res.ptr);
    const size_t ePos = sci.find('e');
    const bool negative = sci.front() == '-';
    std::string digits;
    for (size_t i = negative ? 1 : 0; i < ePos; ++i)
        if (sci[i] != '.') digits += sci[i];
    const int exponent = std::stoi(sci.substr(ePos + 1));

    std::string out = negative ? "-" : "";
    const double magnitude = std::fabs(value);
    if (magnitude != 0 && (exponent < -4 || magnitude > 18014398509481984.0 /* 2^54 */)) {
        out += digits[0];
        if (digits.size() > 1) out += '.' + digits.substr(1);
        const int absExp = std::abs(exponent);
        out += exponent < 0 ? "e-" : "e+";
        if (absExp < 10) out += '0';
        out += std::to_string(absExp);
    } else if (exponent >= 0) {
        const size_t whole = size_t(exponent) + 1;
        if (digits.size() <= whole) {
            out += digits + std::string(whole - digits.size(), '0') + ".0";
        } else {
            out += digits.substr(0, whole) + '.' + digits.substr(whole);
        }
    } else {
        out += "0." + std::string(size_t(-exponent - 1), '0') + digits;
    }
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

std::optional<double> parseDecimalDouble(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    if (text.size() != bytes.size() || bytes.isEmpty()) return std::nullopt;
    const char* p = bytes.constData();
    const char* const end = p + bytes.size();
    // Check the grammar ourselves: from_chars would also take "inf", "nan" and hex forms.
    const char* q = p;
    if (q != end && (*q == '+' || *q == '-')) ++q;
    const char* const numberStart = q;
    int mantissaDigits = 0;
    while (q != end && *q >= '0' && *q <= '9')
        ++q, ++mantissaDigits;
    if (q != end && *q == '.') {
        ++q;
        while (q != end && *q >= '0' && *q <= '9')
            ++q, ++mantissaDigits;
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (q != end && (*q == 'e' || *q == 'E')) {
        ++q;
        if (q != end && (*q == '+' || *q == '-')) ++q;
        int expDigits = 0;
        while (q != end && *q >= '0' && *q <= '9')
            ++q, ++expDigits;
        if (expDigits == 0) return std::nullopt;
    }
    if (q != end) return std::nullopt;

    // from_chars takes a leading minus but no plus.
    const char* start = *p == '+' ? numberStart : p;
    double value = 0;
    const auto res = std::from_chars(start, end, value, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace velk
