#pragma once
// One JSON coder for every stored record. A record lists its fields once with VELK_FIELDS and
// gets the stored form for free:
//  - one member per field, keyed by the field's name; nothing else is written;
//  - a std::optional field is left out when empty; missing or null reads as empty;
//  - a required field must be present, non-null and of the right type, or the whole record
//    fails (nothing is ever partly decoded);
//  - unknown members are ignored;
//  - integers (qint64) reject numbers with a fraction; dates are seconds since 2001-01-01 UTC;
//    UUIDs are their upper-case 36-character form; sets are arrays;
//  - an enum with string raw values declares them with VELK_ENUM_STRINGS.
// Encoding fails (gives nothing) for a value JSON cannot hold, such as a NaN double.
#include "platform/core/Date.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <QVariant>

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace velk::coding {

template <class R, class T>
struct Field {
    const char* key;
    T R::*member;
};

template <class R, class T>
constexpr Field<R, T> field(const char* key, T R::*member)
{
    return {key, member};
}

template <class T>
concept Record = requires
{
    T::codingFields();
};

template <class E>
concept StringEnum = std::is_enum_v<E> && requires(E* e)
{
    velkEnumCases(e);
};

template <class T, class = void>
struct ValueCoder; // encode(const T&, QJsonValue&) -> bool; decode(const QJsonValue&, T&) -> bool

template <>
struct ValueCoder<bool> {
    static bool encode(bool v, QJsonValue& out)
    {
        out = v;
        return true;
    }
    static bool decode(const QJsonValue& in, bool& out)
    {
        if (!in.isBool()) return false;
        out = in.toBool();
        return true;
    }
};

template <>
struct ValueCoder<qint64> {
    static bool encode(qint64 v, QJsonValue& out)
    {
        out = QJsonValue(v);
        return true;
    }
    static bool decode(const QJsonValue& in, qint64& out)
    {
        if (!in.isDouble()) return false;
        const QVariant var = in.toVariant();
        if (var.typeId() == QMetaType::LongLong || var.typeId() == QMetaType::Int ||
            var.typeId() == QMetaType::ULongLong) {
            bool ok = false;
            out = var.toLongLong(&ok);
            return ok;
        }
        const double d = in.toDouble();
        // A whole value written as a double (1.0) is still a whole number; 1.5 is not.
        if (!std::isfinite(d) || std::trunc(d) != d || d < -9.2233720368547758e18 || d >= 9.2233720368547758e18)
            return false;
        out = qint64(d);
        return true;
    }
};

template <>
struct ValueCoder<double> {
    static bool encode(double v, QJsonValue& out)
    {
        if (!std::isfinite(v)) return false;
        out = v;
        return true;
    }
    static bool decode(const QJsonValue& in, double& out)
    {
        if (!in.isDouble()) return false;
        out = in.toDouble();
        return true;
    }
};

template <>
struct ValueCoder<QString> {
    static bool encode(const QString& v, QJsonValue& out)
    {
        out = v;
        return true;
    }
    static bool decode(const QJsonValue& in, QString& out)
    {
        if (!in.isString()) return false;
        out = in.toString();
        return true;
    }
};

template <>
struct ValueCoder<Date> {
    static bool encode(Date v, QJsonValue& out) { return ValueCoder<double>::encode(v.sinceReference, out); }
    static bool decode(const QJsonValue& in, Date& out) { return ValueCoder<double>::decode(in, out.sinceReference); }
};

template <>
struct ValueCoder<QUuid> {
    static bool encode(const QUuid& v, QJsonValue& out)
    {
        out = v.toString(QUuid::WithoutBraces).toUpper();
        return true;
    }
    static bool decode(const QJsonValue& in, QUuid& out)
    {
        if (!in.isString()) return false;
        const QString s = in.toString();
        if (s.size() != 36) return false;
        out = QUuid::fromString(s);
        return !out.isNull() || s == QStringLiteral("00000000-0000-0000-0000-000000000000");
    }
};

template <StringEnum E>
struct ValueCoder<E> {
    static bool encode(E v, QJsonValue& out)
    {
        for (const auto& [value, name] : velkEnumCases(static_cast<E*>(nullptr)))
            if (value == v) {
                out = QString::fromUtf8(name.data(), qsizetype(name.size()));
                return true;
            }
        return false;
    }
    static bool decode(const QJsonValue& in, E& out)
    {
        if (!in.isString()) return false;
        const QByteArray s = in.toString().toUtf8();
        for (const auto& [value, name] : velkEnumCases(static_cast<E*>(nullptr)))
            if (std::string_view(s.constData(), size_t(s.size())) == name) {
                out = value;
                return true;
            }
        return false;
    }
};

template <class T>
struct ValueCoder<std::vector<T>> {
    static bool encode(const std::vector<T>& v, QJsonValue& out)
    {
        QJsonArray a;
        for (const T& e : v) {
            QJsonValue j;
            if (!ValueCoder<T>::encode(e, j)) return false;
            a.append(j);
        }
        out = a;
        return true;
    }
    static bool decode(const QJsonValue& in, std::vector<T>& out)
    {
        if (!in.isArray()) return false;
        const QJsonArray a = in.toArray();
        std::vector<T> result;
        result.reserve(size_t(a.size()));
        for (const auto& j : a) {
            T e{};
            if (!ValueCoder<T>::decode(j, e)) return false;
            result.push_back(std::move(e));
        }
        out = std::move(result);
        return true;
    }
};

template <class T>
struct ValueCoder<std::set<T>> {
    static bool encode(const std::set<T>& v, QJsonValue& out)
    {
        return ValueCoder<std::vector<T>>::encode(std::vector<T>(v.begin(), v.end()), out);
    }
    static bool decode(const QJsonValue& in, std::set<T>& out)
    {
        std::vector<T> items;
        if (!ValueCoder<std::vector<T>>::decode(in, items)) return false;
        out = std::set<T>(items.begin(), items.end());
        return true;
    }
};

template <Record R>
struct ValueCoder<R> {
    static bool encode(const R& record, QJsonValue& out)
    {
        QJsonObject o;
        bool ok = true;
        std::apply([&](const auto&... f) { ((ok = ok && encodeField(record, f, o)), ...); }, R::codingFields());
        if (!ok) return false;
        out = o;
        return true;
    }
    static bool decode(const QJsonValue& in, R& out)
    {
        if (!in.isObject()) return false;
        const QJsonObject o = in.toObject();
        R result{};
        bool ok = true;
        std::apply([&](const auto&... f) { ((ok = ok && decodeField(result, f, o)), ...); }, R::codingFields());
        if (!ok) return false;
        out = std::move(result);
        return true;
    }

private:
    template <class T>
    static bool encodeField(const R& r, const Field<R, T>& f, QJsonObject& o)
    {
        QJsonValue j;
        if (!ValueCoder<T>::encode(r.*(f.member), j)) return false;
        o.insert(QLatin1String(f.key), j);
        return true;
    }
    template <class T>
    static bool encodeField(const R& r, const Field<R, std::optional<T>>& f, QJsonObject& o)
    {
        const auto& v = r.*(f.member);
        if (!v) return true;
        QJsonValue j;
        if (!ValueCoder<T>::encode(*v, j)) return false;
        o.insert(QLatin1String(f.key), j);
        return true;
    }
    template <class T>
    static bool decodeField(R& r, const Field<R, T>& f, const QJsonObject& o)
    {
        const auto it = o.constFind(QLatin1String(f.key));
        if (it == o.constEnd() || it->isNull() || it->isUndefined()) return false;
        return ValueCoder<T>::decode(*it, r.*(f.member));
    }
    template <class T>
    static bool decodeField(R& r, const Field<R, std::optional<T>>& f, const QJsonObject& o)
    {
        const auto it = o.constFind(QLatin1String(f.key));
        if (it == o.constEnd() || it->isNull() || it->isUndefined()) {
            r.*(f.member) = std::nullopt;
            return true;
        }
        T v{};
        if (!ValueCoder<T>::decode(*it, v)) return false;
        r.*(f.member) = std::move(v);
        return true;
    }
};

template <class T>
std::optional<QJsonValue> toJson(const T& value)
{
    QJsonValue j;
    if (!ValueCoder<T>::encode(value, j)) return std::nullopt;
    return j;
}

template <class T>
std::optional<T> fromJson(const QJsonValue& json)
{
    T v{};
    if (!ValueCoder<T>::decode(json, v)) return std::nullopt;
    return v;
}

// Writing JSON text directly, so a record's members come out in the order of its fields (a
// QJsonObject would sort them by key).
void writeJsonValue(const QJsonValue& value, QByteArray& out); // Coding.cpp
void writeJsonString(QStringView text, QByteArray& out);       // Coding.cpp

template <class T>
struct Writer {
    static bool write(const T& value, QByteArray& out)
    {
        QJsonValue j;
        if (!ValueCoder<T>::encode(value, j)) return false;
        writeJsonValue(j, out);
        return true;
    }
};

template <class Range, class T>
bool writeJsonArray(const Range& items, QByteArray& out)
{
    out += '[';
    bool first = true;
    for (const T& e : items) {
        if (!first) out += ',';
        first = false;
        if (!Writer<T>::write(e, out)) return false;
    }
    out += ']';
    return true;
}

template <class T>
struct Writer<std::vector<T>> {
    static bool write(const std::vector<T>& v, QByteArray& out) { return writeJsonArray<std::vector<T>, T>(v, out); }
};

template <class T>
struct Writer<std::set<T>> {
    static bool write(const std::set<T>& v, QByteArray& out) { return writeJsonArray<std::set<T>, T>(v, out); }
};

template <Record R>
struct Writer<R> {
    static bool write(const R& record, QByteArray& out)
    {
        out += '{';
        bool first = true;
        bool ok = true;
        std::apply([&](const auto&... f) { ((ok = ok && writeField(record, f, out, first)), ...); }, R::codingFields());
        out += '}';
        return ok;
    }

private:
    static void writeKey(const char* key, QByteArray& out, bool& first)
    {
        if (!first) out += ',';
        first = false;
        writeJsonString(QString::fromLatin1(key), out);
        out += ':';
    }
    template <class T>
    static bool writeField(const R& r, const Field<R, T>& f, QByteArray& out, bool& first)
    {
        writeKey(f.key, out, first);
        return Writer<T>::write(r.*(f.member), out);
    }
    template <class T>
    static bool writeField(const R& r, const Field<R, std::optional<T>>& f, QByteArray& out, bool& first)
    {
        const auto& v = r.*(f.member);
        if (!v) return true;
        writeKey(f.key, out, first);
        return Writer<T>::write(*v, out);
    }
};

} // namespace velk::coding

namespace velk {

// The bytes a plain JSON encoder writes for a value (compact, a record's members in field
// order), or nothing when it cannot be encoded.
template <class T>
std::optional<QByteArray> encodeJson(const T& value)
{
    QByteArray out;
    if (!coding::Writer<T>::write(value, out)) return std::nullopt;
    return out;
}

// Decodes a value from JSON bytes; anything malformed gives nothing.
template <class T>
std::optional<T> decodeJson(const QByteArray& bytes)
{
    QJsonParseError err{};
    QJsonDocument doc = QJsonDocument::fromJson(bytes, &err);
    if (err.error != QJsonParseError::NoError) {
        // A bare scalar document ("12", "\"x\"").
        doc = QJsonDocument::fromJson("[" + bytes + "]", &err);
        if (err.error != QJsonParseError::NoError || doc.array().size() != 1) return std::nullopt;
        return coding::fromJson<T>(doc.array().at(0));
    }
    if (doc.isObject()) return coding::fromJson<T>(doc.object());
    return coding::fromJson<T>(doc.array());
}

} // namespace velk

// VELK_FIELDS(Type, a, b, c): declares the stored fields of a record, in order, inside its
// struct. Up to 16 fields.
#define VELK_FIELD_1(T, x) ::velk::coding::field(#x, &T::x)
#define VELK_FE_1(T, x) VELK_FIELD_1(T, x)
#define VELK_FE_2(T, x, ...) VELK_FIELD_1(T, x), VELK_FE_1(T, __VA_ARGS__)
#define VELK_FE_3(T, x, ...) VELK_FIELD_1(T, x), VELK_FE_2(T, __VA_ARGS__)
#define VELK_FE_4(T, x, ...) VELK_FIELD_1(T, x), VELK_FE_3(T, __VA_ARGS__)
#define VELK_FE_5(T, x, ...) VELK_FIELD_1(T, x), VELK_FE_4(T, __VA_ARGS__)
#define VELK_FE_6(T, x, ...) VELK_FIELD_1(T, x), VELK_FE_5(T, __VA_ARGS__)
#define VELK_FE_7(T, x, ...) VELK_FIELD_1(T, x), VELK_FE_6(T, __VA_ARGS__)
#define VELK_FE_8(T, x, ...) VELK_FIELD_1(T, x), VELK_FE_7(T, __VA_ARGS__)
#define VELK_FE_9(T, x, ...) VELK_FIELD_1(T, x), VELK_FE_8(T, __VA_ARGS__)
#define VELK_FE_10(T, x, ...) VELK_FIELD_1(T, x), VELK_FE_9(T, __VA_ARGS__)
#define VELK_FE_11(T, x, ...) VELK_FIELD_1(T, x), VELK_FE_10(T, __VA_ARGS__)
#define VELK_FE_12(T, x, ...) VELK_FIELD_1(T, x), VELK_FE_11(T, __VA_ARGS__)
#define VELK_FE_13(T, x, ...) VELK_FIELD_1(T, x), VELK_FE_12(T, __VA_ARGS__)
#define VELK_FE_14(T, x, ...) VELK_FIELD_1(T, x), VELK_FE_13(T, __VA_ARGS__)
#define VELK_FE_15(T, x, ...) VELK_FIELD_1(T, x), VELK_FE_14(T, __VA_ARGS__)
#define VELK_FE_16(T, x, ...) VELK_FIELD_1(T, x), VELK_FE_15(T, __VA_ARGS__)
#define VELK_FE_PICK(_1, _2, _3, _4, _5, _6, _7, _8, _9, _10, _11, _12, _13, _14, _15, _16, N, ...) N
#define VELK_FIELDS(T, ...)                                                                                            \
    static auto codingFields()                                                                                         \
    {                                                                                                                  \
        return std::make_tuple(VELK_FE_PICK(__VA_ARGS__, VELK_FE_16, VELK_FE_15, VELK_FE_14, VELK_FE_13, VELK_FE_12,   \
                                            VELK_FE_11, VELK_FE_10, VELK_FE_9, VELK_FE_8, VELK_FE_7, VELK_FE_6,        \
                                            VELK_FE_5, VELK_FE_4, VELK_FE_3, VELK_FE_2, VELK_FE_1)(T, __VA_ARGS__));   \
    }

// VELK_ENUM_STRINGS(E, {E::a, "a"}, {E::b, "b"}): the raw strings of an enum, at namespace
// scope next to the enum.
#define VELK_ENUM_STRINGS(E, ...)                                                                                      \
    inline constexpr auto velkEnumCases(E*)                                                                            \
    {                                                                                                                  \
        return std::to_array<std::pair<E, std::string_view>>({__VA_ARGS__});                                           \
    }
