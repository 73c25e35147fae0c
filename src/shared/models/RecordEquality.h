#pragma once
// Equality of stored records: every field in order, numbers by value (a NaN never equals
// itself), texts as Unicode text (canonically equivalent spellings are equal), optionals equal
// when both empty or both hold equal values, arrays in order, sets by membership.
#include "platform/core/Coding.h"

#include <QString>

#include <optional>
#include <set>
#include <tuple>
#include <type_traits>
#include <vector>

namespace velk::coding {

template <Record R>
bool recordsEqual(const R& a, const R& b);

namespace detail {
template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};
template <class T>
struct IsVector : std::false_type {};
template <class T>
struct IsVector<std::vector<T>> : std::true_type {};
template <class T>
struct IsSet : std::false_type {};
template <class T>
struct IsSet<std::set<T>> : std::true_type {};
} // namespace detail

inline bool sameText(const QString& a, const QString& b)
{
    // Code-unit equality decides almost every comparison; normalising is only needed to tell
    // a different spelling of the same text from a different text.
    if (a == b) return true;
    return a.normalized(QString::NormalizationForm_C) == b.normalized(QString::NormalizationForm_C);
}

template <class T>
bool sameValue(const T& a, const T& b)
{
    if constexpr (std::is_same_v<T, QString>) {
        return sameText(a, b);
    } else if constexpr (Record<T>) {
        return recordsEqual(a, b);
    } else if constexpr (detail::IsOptional<T>::value) {
        if (a.has_value() != b.has_value()) return false;
        return !a || sameValue(*a, *b);
    } else if constexpr (detail::IsVector<T>::value) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (!sameValue(a[i], b[i])) return false;
        return true;
    } else if constexpr (detail::IsSet<T>::value) {
        if (a.size() != b.size()) return false;
        if (a == b) return true;
        // Sets order by code units, so equal members spelled differently can sit apart.
        for (const auto& x : a) {
            bool found = false;
            for (const auto& y : b)
                if (sameValue(x, y)) {
                    found = true;
                    break;
                }
            if (!found) return false;
        }
        return true;
    } else {
        return a == b;
    }
}

template <Record R>
bool recordsEqual(const R& a, const R& b)
{
    return std::apply([&](const auto&... f) { return (sameValue(a.*(f.member), b.*(f.member)) && ...); },
                      R::codingFields());
}

} // namespace velk::coding

// Inside a record's struct, after VELK_FIELDS: the record's == by the rule above.
#define VELK_RECORD_EQUALITY(T)                                                                                        \
    friend bool operator==(const T& a, const T& b)                                                                     \
    {                                                                                                                  \
        return ::velk::coding::recordsEqual(a, b);                                                                     \
    }
