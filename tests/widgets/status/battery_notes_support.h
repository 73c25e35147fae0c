#pragma once
// What the battery and notes widget tests share: the widgets as declared, checked against the
// names, family and tap target they should have, and the texts a placed widget shows.
#include "platform/timeline/WidgetDefinition.h"
#include "platform/view/Layout.h"
#include "shared/look/TreeQuery.h"

#include <QUrl>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace velk::testing {

struct DeclaredWidget {
    timeline::WidgetDefinition widget;
    const char* kind;
    const char* name;
    timeline::WidgetFamily family;
    // Where a tap leads; none for widgets that open nothing.
    const char* url = nullptr;
};

inline void expectDeclaredAsListed(const DeclaredWidget& d)
{
    SCOPED_TRACE(d.kind);
    EXPECT_EQ(d.widget.kind(), d.kind);
    EXPECT_EQ(d.widget.displayName(), d.name);
    EXPECT_EQ(d.widget.family(), d.family);
    const QSizeF size = timeline::designSize(d.family);
    const std::optional<QUrl> url =
        view::widgetURL(view::layout(d.widget.render(d.widget.provider().placeholder({})), size));
    EXPECT_EQ(url, d.url ? std::optional<QUrl>(QUrl(QString::fromLatin1(d.url))) : std::nullopt);
}

// The texts a placed widget shows for its timeline's one entry, joined for readable failures.
inline std::string placedTexts(const timeline::WidgetDefinition& w)
{
    const QSizeF size = timeline::designSize(w.family());
    const timeline::AnyTimeline t = w.provider().timeline({}, {w.family(), size, false});
    EXPECT_EQ(t.entries.size(), 1u);
    if (t.entries.empty()) return {};
    return shown(inspectAt(w.render(t.entries.front()), size));
}

} // namespace velk::testing
