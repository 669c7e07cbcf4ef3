#pragma once

#include <cstdint>
#include <ostream>

#include "history/history_store.h"

namespace wardel {

// Writes the stored probes in [fromMs, untilMs) as CSV (RFC 4180: CR LF line ends, a header row, a field
// quoted when it holds a comma, a quote or a line end): time (ISO 8601 with its offset), host, port, outcome,
// reason, error, connect_ms. False when the file could not be read to its end.
bool exportHistoryCsv(HistoryStore& store, std::int64_t fromMs, std::int64_t untilMs, std::ostream& out);

// "2026-12-08T09:30:33.120+01:00" in the local time zone.
std::string isoLocalTime(std::int64_t epochMs);

} // namespace wardel
