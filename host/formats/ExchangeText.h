#pragma once

#include <QString>

namespace qarvel {

// A report or exchange as the log keeps it ("599 AB"), split into the
// signal report and the rest. The first word is the report when it is made
// of digits (or the 5NN a CW operator writes); otherwise there is none.
struct ExchangeText {
    QString report; // "599", or empty
    QString rest;   // "AB", the words after the report

    static ExchangeText Split(const QString& text);
};

} // namespace qarvel
