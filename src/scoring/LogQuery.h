#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace zelmar {

// An error raised by the log database; its text is the driver's.
class TDatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The one query the replay runs against the host's log. Every operation may
// throw TDatabaseError.
class TLogQuery {
public:
    virtual ~TLogQuery() = default;
    virtual void Close() = 0;
    virtual void SetSQL(const std::string& statement) = 0;
    virtual void Open() = 0;
    virtual bool Eof() const = 0;
    virtual void Next() = 0;
    // The column of the current row as text; NULL reads as an empty text.
    virtual std::string FieldAsText(std::string_view name) = 0;
};

// Lets waiting window messages be handled once from inside the replay.
class TMessagePump {
public:
    virtual ~TMessagePump() = default;
    virtual void ProcessMessages() = 0;
};

// A table name the statement may carry, with at most one "schema." part:
// each part letters, digits and '_', not starting with a digit, or a
// double-quoted identifier with no quote or control character inside.
bool IsPlainTableName(std::string_view name);

} // namespace zelmar
