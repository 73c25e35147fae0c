// The placement file (widgets.json): parsing, writing back what parsed and reading that again,
// which must give the same placements (a rewrite loses nothing), and merging the result with
// itself and with nothing, as the host does when another writer changed the file.
#include "FuzzSupport.h"
#include "host/PlacementStore.h"

#include <QJsonDocument>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    fuzz::setUp();
    const QByteArray text = fuzz::bytes(data, size);
    QString error;
    const auto placements = host::parsePlacements(text, &error);
    if (!placements) return 0;

    const QByteArray written = host::serializePlacements(*placements, QJsonDocument::fromJson(text).object());
    const auto reread = host::parsePlacements(written, &error);
    if (!reread || *reread != *placements) std::abort();

    std::vector<host::Placement> mine = *placements;
    host::mergePlacements(*placements, *placements, mine);
    if (mine != *placements) std::abort();
    host::mergePlacements(*placements, {}, mine);
    if (!mine.empty()) std::abort();
    return 0;
}
