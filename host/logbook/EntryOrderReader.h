#pragma once

#include "logbook/QsoRow.h"

#include <QString>
#include <optional>
#include <vector>

namespace qarvel {

class LogBook;

// Every QSO of the log in the order it was entered (the row number), not
// in time order: what a check needs to see QSOs logged out of time order.
// Columns are read by name, so a table with more columns reads the same.
std::optional<std::vector<QsoRow>> ReadLogInEntryOrder(const LogBook& log, QString* error);

} // namespace qarvel
