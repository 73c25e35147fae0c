#pragma once
// Names a position through a reverse-geocoding web service of the Nominatim kind
// ("/reverse?format=jsonv2&lat=..&lon=..", answering an "address" object). Its base is a
// setting like the other web services: $VELK_REVERSE_GEOCODING_URL, by default
// https://nominatim.openstreetmap.org.
#include <QByteArray>
#include <QString>
#include <QUrl>
#include <optional>

namespace velk {

class ReverseGeocoder {
public:
    struct Placemark {
        std::optional<QString> subLocality;           // a district of a town
        std::optional<QString> locality;              // the town or city
        std::optional<QString> subAdministrativeArea; // the county
    };

    // The longest name taken for a part of a place (the longest real place names are a few
    // dozen characters); a longer one is passed over with a warning, never stored.
    static constexpr qsizetype kMaxNameChars = 200;

    static QUrl serviceBase();
    // The request for a position; nothing for coordinates out of range.
    static std::optional<QUrl> requestUrl(double latitude, double longitude);
    // The first place of an answer; nothing when the body has no address. Each part is the
    // first of its fields that is neither empty nor longer than kMaxNameChars.
    static std::optional<Placemark> parse(const QByteArray& body);
    // One request, blocking its thread (run it off the main thread); nothing on any failure.
    static std::optional<Placemark> reverse(double latitude, double longitude);
};

} // namespace velk
