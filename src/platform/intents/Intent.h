#pragma once
// Intents: actions a widget button runs, and the configuration a user gives a placed widget.
// An intent is a plain value type that names itself, titles itself and lists its parameters
// once; everything else (storing values as JSON, describing them to the editor, running an
// action from a button's data) is derived from that list.
//
//   struct AddStepsIntent {
//       static constexpr const char* typeName = "AddStepsIntent";
//       static constexpr const char* title = "Log Steps";
//       qint64 steps = 1000;                              // the member's initial value is the default
//       static auto parameters()
//       {
//           return std::make_tuple(intents::parameter("steps", "Steps", &AddStepsIntent::steps));
//       }
//       void perform() const;                              // actions only
//   };
//
// Parameter types: QString, qint64, double, bool, Date, app enums, app entities, and
// std::optional of any of them (an optional parameter is unset until the user picks a value).
#include "platform/core/Coding.h"
#include "platform/intents/AppEntity.h"
#include "platform/intents/AppEnum.h"

#include <QJsonObject>
#include <QString>
#include <concepts>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

namespace velk::intents {

template <class I, class T>
struct Parameter {
    const char* name;
    const char* title;
    T I::*member;
};

template <class I, class T>
constexpr Parameter<I, T> parameter(const char* name, const char* title, T I::*member)
{
    return {name, title, member};
}

template <class T>
concept Intent = std::default_initializable<T> && requires
{
    {
        T::typeName
        } -> std::convertible_to<const char*>;
    {
        T::title
        } -> std::convertible_to<const char*>;
    T::parameters();
};

template <class T>
concept ActionIntent = Intent<T> && requires(T& t)
{
    t.perform();
};

struct EnumCaseDescription {
    QString raw;
    QString title;
};

// What the editor (and the host's commands) know of one parameter.
struct ParameterDescription {
    QString name;
    QString title;
    QString type; // "string", "integer", "number", "bool", "date", "enum" or "entity"
    bool optional = false;
    QJsonValue defaultValue;                           // null for an optional parameter that starts unset
    QString valueTypeTitle;                            // the enum's or entity's display name
    std::vector<EnumCaseDescription> cases;            // enums, in editor order
    std::shared_ptr<const AnyEntityQuery> entityQuery; // entities

    QJsonObject toJson() const;
};

struct IntentDescription {
    QString typeName;
    QString title;
    bool configuration = false;
    std::vector<ParameterDescription> parameters;

    QJsonObject toJson() const;
};

namespace detail {

template <class T>
struct ParameterType;

template <>
struct ParameterType<QString> {
    static void describe(ParameterDescription& d) { d.type = QStringLiteral("string"); }
};
template <>
struct ParameterType<qint64> {
    static void describe(ParameterDescription& d) { d.type = QStringLiteral("integer"); }
};
template <>
struct ParameterType<double> {
    static void describe(ParameterDescription& d) { d.type = QStringLiteral("number"); }
};
template <>
struct ParameterType<bool> {
    static void describe(ParameterDescription& d) { d.type = QStringLiteral("bool"); }
};
template <>
struct ParameterType<Date> {
    static void describe(ParameterDescription& d) { d.type = QStringLiteral("date"); }
};
template <AppEnum E>
struct ParameterType<E> {
    static void describe(ParameterDescription& d)
    {
        d.type = QStringLiteral("enum");
        d.valueTypeTitle = typeDisplayName<E>();
        for (const auto& c : enumCases<E>())
            d.cases.push_back({text(c.raw), text(c.title)});
    }
};
template <AppEntity E>
struct ParameterType<E> {
    static void describe(ParameterDescription& d)
    {
        d.type = QStringLiteral("entity");
        d.valueTypeTitle = QString::fromUtf8(E::typeDisplayName);
        d.entityQuery = entityQuery<E>();
    }
};
template <class T>
struct ParameterType<std::optional<T>> {
    static void describe(ParameterDescription& d)
    {
        ParameterType<T>::describe(d);
        d.optional = true;
    }
};

template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};

template <class T>
std::optional<QJsonValue> encodeValue(const T& v)
{
    if constexpr (IsOptional<T>::value) {
        if (!v) return QJsonValue(QJsonValue::Null);
        return coding::toJson(*v);
    } else {
        return coding::toJson(v);
    }
}

// Decodes one value; an explicit null is "unset" for an optional parameter and a bad value
// for any other.
template <class T>
bool decodeValue(const QJsonValue& json, T& out)
{
    if constexpr (IsOptional<T>::value) {
        if (json.isNull()) {
            out = std::nullopt;
            return true;
        }
        auto v = coding::fromJson<typename T::value_type>(json);
        if (!v) return false;
        out = std::move(*v);
        return true;
    } else {
        auto v = coding::fromJson<T>(json);
        if (!v) return false;
        out = std::move(*v);
        return true;
    }
}

} // namespace detail

// The values of an intent's parameters, keyed by parameter name; an unset optional is null.
template <Intent I>
QJsonObject parameterValues(const I& intent)
{
    QJsonObject o;
    std::apply(
        [&](const auto&... p) {
            (
                [&] {
                    if (auto j = detail::encodeValue(intent.*(p.member))) o.insert(QLatin1String(p.name), *j);
                }(),
                ...);
        },
        I::parameters());
    return o;
}

// An intent from parameter values, for running it: a missing parameter keeps its default,
// a value of the wrong type fails the whole intent with a message naming the parameter.
template <Intent I>
std::optional<I> intentFromParameters(const QJsonObject& values, QString* error = nullptr)
{
    I intent{};
    bool ok = true;
    std::apply(
        [&](const auto&... p) {
            (
                [&] {
                    if (!ok) return;
                    const auto it = values.constFind(QLatin1String(p.name));
                    if (it == values.constEnd()) return;
                    if (!detail::decodeValue(*it, intent.*(p.member))) {
                        ok = false;
                        if (error)
                            *error = QStringLiteral("%1: the value of \"%2\" is not valid")
                                         .arg(QLatin1String(I::typeName), QLatin1String(p.name));
                    }
                }(),
                ...);
        },
        I::parameters());
    if (!ok) return std::nullopt;
    return intent;
}

// A stored configuration, for rendering a placed widget: every parameter that is missing or
// no longer valid (an enum case since removed, a value of another type) takes its default,
// so one bad value never costs the user the rest of the configuration. The stored JSON itself
// is not touched.
template <Intent I>
I configurationFrom(const QJsonObject& values)
{
    I intent{};
    std::apply(
        [&](const auto&... p) {
            (
                [&] {
                    const auto it = values.constFind(QLatin1String(p.name));
                    if (it == values.constEnd()) return;
                    auto value = intent.*(p.member);
                    if (detail::decodeValue(*it, value)) intent.*(p.member) = std::move(value);
                }(),
                ...);
        },
        I::parameters());
    return intent;
}

template <Intent I>
IntentDescription describeIntent(bool configuration)
{
    IntentDescription d;
    d.typeName = QString::fromUtf8(I::typeName);
    d.title = QString::fromUtf8(I::title);
    d.configuration = configuration;
    const I defaults{};
    std::apply(
        [&](const auto&... p) {
            (
                [&] {
                    ParameterDescription pd;
                    pd.name = QString::fromUtf8(p.name);
                    pd.title = QString::fromUtf8(p.title);
                    detail::ParameterType<std::remove_cvref_t<decltype(defaults.*(p.member))>>::describe(pd);
                    pd.defaultValue = detail::encodeValue(defaults.*(p.member)).value_or(QJsonValue());
                    d.parameters.push_back(std::move(pd));
                }(),
                ...);
        },
        I::parameters());
    return d;
}

} // namespace velk::intents

namespace velk::coding {

// An intent inside a record or an entry (the clock widgets' entries carry their configuration)
// is stored as its parameter values.
template <class I>
requires(::velk::intents::Intent<I> && !Record<I>) struct ValueCoder<I> {
    static bool encode(const I& v, QJsonValue& out)
    {
        out = ::velk::intents::parameterValues(v);
        return true;
    }
    static bool decode(const QJsonValue& in, I& out)
    {
        if (!in.isObject()) return false;
        auto v = ::velk::intents::intentFromParameters<I>(in.toObject());
        if (!v) return false;
        out = std::move(*v);
        return true;
    }
};

} // namespace velk::coding
