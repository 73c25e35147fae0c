#pragma once
// App enumerations: closed option lists the widget editor offers by title and stores by raw
// string. One declaration next to the enum gives the raw strings (so the record coder stores
// the enum too), the case titles and the type's display name:
//
//   enum class SurfaceOption { followApp, solid };
//   VELK_APP_ENUM(SurfaceOption, "Background",
//                 {SurfaceOption::followApp, "followApp", "Follow app setting"},
//                 {SurfaceOption::solid, "solid", "Solid"})
//
// The table order is the order of all cases, and the order the editor lists them in.
#include "platform/core/Coding.h"

#include <QString>
#include <array>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace velk::intents {

template <class E>
struct EnumCase {
    E value;
    std::string_view raw;
    std::string_view title;
};

template <class E>
concept AppEnum = std::is_enum_v<E> && requires(E* e)
{
    velkAppEnumCases(e);
    velkAppEnumTypeName(e);
};

namespace detail {
template <class E, size_t N>
constexpr auto rawPairs(const std::array<EnumCase<E>, N>& cases)
{
    std::array<std::pair<E, std::string_view>, N> out{};
    for (size_t i = 0; i < N; ++i)
        out[i] = {cases[i].value, cases[i].raw};
    return out;
}
inline QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}
} // namespace detail

template <AppEnum E>
constexpr auto enumCases()
{
    return velkAppEnumCases(static_cast<E*>(nullptr));
}

template <AppEnum E>
std::vector<E> allCases()
{
    std::vector<E> out;
    for (const auto& c : enumCases<E>())
        out.push_back(c.value);
    return out;
}

template <AppEnum E>
QString typeDisplayName()
{
    return QString::fromUtf8(velkAppEnumTypeName(static_cast<E*>(nullptr)));
}

template <AppEnum E>
QString rawValue(E value)
{
    for (const auto& c : enumCases<E>())
        if (c.value == value) return detail::text(c.raw);
    return {};
}

template <AppEnum E>
QString caseTitle(E value)
{
    for (const auto& c : enumCases<E>())
        if (c.value == value) return detail::text(c.title);
    return {};
}

// Exact, case-sensitive match against the raw strings; anything else is no value.
template <AppEnum E>
std::optional<E> fromRawValue(const QString& raw)
{
    const QByteArray utf8 = raw.toUtf8();
    const std::string_view s(utf8.constData(), size_t(utf8.size()));
    for (const auto& c : enumCases<E>())
        if (c.raw == s) return c.value;
    return std::nullopt;
}

} // namespace velk::intents

#define VELK_APP_ENUM(E, typeTitle, ...)                                                                               \
    inline constexpr auto velkAppEnumCases(E*)                                                                         \
    {                                                                                                                  \
        return std::to_array<::velk::intents::EnumCase<E>>({__VA_ARGS__});                                             \
    }                                                                                                                  \
    inline constexpr const char* velkAppEnumTypeName(E*)                                                               \
    {                                                                                                                  \
        return typeTitle;                                                                                              \
    }                                                                                                                  \
    inline constexpr auto velkEnumCases(E*)                                                                            \
    {                                                                                                                  \
        return ::velk::intents::detail::rawPairs(velkAppEnumCases(static_cast<E*>(nullptr)));                          \
    }
