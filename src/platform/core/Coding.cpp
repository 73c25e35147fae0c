#include "platform/core/Coding.h"

#include <QLocale>

namespace velk::coding {

void writeJsonString(QStringView text, QByteArray& out)
{
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                static const char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 0xF];
            } else {
                out += ch;
            }
        }
    }
    out += '"';
}

void writeJsonValue(const QJsonValue& value, QByteArray& out)
{
    switch (value.type()) {
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        out += "null";
        break;
    case QJsonValue::Bool:
        out += value.toBool() ? "true" : "false";
        break;
    case QJsonValue::Double: {
        const QVariant v = value.toVariant();
        if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
            out += QByteArray::number(v.toLongLong());
        else
            out += QByteArray::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        break;
    }
    case QJsonValue::String:
        writeJsonString(value.toString(), out);
        break;
    case QJsonValue::Array:
        out += QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
        break;
    case QJsonValue::Object:
        out += QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
        break;
    }
}

} // namespace velk::coding
