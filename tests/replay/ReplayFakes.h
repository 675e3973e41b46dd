#pragma once

#include "CoreFakes.h"
#include "scoring/LogQuery.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zelmar::testing {

// Counts the pumps and runs `onPump` at each, to look at the state then.
class CountingPump : public TMessagePump {
public:
    void ProcessMessages() override {
        ++calls;
        if (onPump)
            onPump();
    }
    int calls = 0;
    std::function<void()> onPump;
};

// A query that never reaches a database: it records what it was asked.
class SpyQuery : public TLogQuery {
public:
    void Close() override { calls.push_back("Close"); }
    void SetSQL(const std::string& statement) override { calls.push_back("SetSQL " + statement); }
    void Open() override { calls.push_back("Open"); }
    bool Eof() const override { return true; }
    void Next() override { calls.push_back("Next"); }
    std::string FieldAsText(std::string_view name) override {
        calls.push_back("FieldAsText " + std::string(name));
        return {};
    }
    std::vector<std::string> calls;
};

} // namespace zelmar::testing
