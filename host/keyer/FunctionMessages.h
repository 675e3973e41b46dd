#pragma once

#include <QString>
#include <array>

namespace qarvel {

// One message on a function key: what its button says and what is sent.
struct FunctionMessage {
    QString label;
    QString text; // with macros, see ExpandMacros

    friend bool operator==(const FunctionMessage&, const FunctionMessage&) = default;
};

// The two sets of twelve messages, Run and S&P, on F1 to F12, kept with the
// station's settings (group "Messages").
struct FunctionMessages {
    static constexpr int kKeys = 12;
    std::array<FunctionMessage, kKeys> run;
    std::array<FunctionMessage, kKeys> searchPounce;

    static FunctionMessages Defaults();
    static FunctionMessages Load(const QString& path);
    bool Save(const QString& path) const;

    friend bool operator==(const FunctionMessages&, const FunctionMessages&) = default;
};

} // namespace qarvel
