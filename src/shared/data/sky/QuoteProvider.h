#pragma once
// The daily quotation: a pure function of the calendar day, so every widget and every refresh
// on the same day shows the same saying, and the saying changes at local midnight.
#include "platform/core/Date.h"
#include "shared/models/SkyRecords.h"

#include <array>

namespace velk {

namespace QuoteProvider {

inline constexpr int kCount = 30;

// The entry for the day holding `date` in the user's current calendar: the day's number
// within its era, modulo the table's length.
QuoteItem today(Date date);

// The built-in table, in order.
const std::array<QuoteItem, kCount>& quotes();

} // namespace QuoteProvider

} // namespace velk
