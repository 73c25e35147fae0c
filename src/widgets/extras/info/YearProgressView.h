#pragma once
// How far the year has run: a percentage and the year as 54 dots, today's enlarged.
#include "shared/look/WidgetRoot.h"
#include "shared/models/SkyRecords.h"

namespace velk {

struct YearProgressView {
    YearInfo info;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    static constexpr int kColumns = 18;
    static constexpr int kRows = 3;

    struct Figures {
        qint64 percent = 0;
        int filled = 0;
        int highlight = 0;
        qint64 remaining = 0;
    };
    // The shares are kept to 0...1 and a year with no days has run none of itself.
    static Figures figures(const YearInfo& info);
};

} // namespace velk
