#pragma once

#include "keyer/SerialText.h"

#include <QString>
#include <QStringList>

namespace qarvel {

// What the macros of a message stand for at the moment it is sent.
struct MacroContext {
    QString myCall;
    QString hisCall;
    QString mode;     // "CW", "SSB", ...
    QString sent;     // the sent exchange as the entry line holds it ("599 007", "599 BU")
    SerialStyle style;
};

// A message's text with its macros replaced, ready for the keyer.
struct ExpandedMessage {
    QString text;
    bool logIt = false;     // {LOGIT}: the QSO is logged as the message goes out
    QStringList unknown;    // macros qarvel does not know, left as they stand
};

// {MYCALL}, {HISCALL}, {NR} (the serial, keyed as the style says), {RST}
// (5NN on CW, 59 on phone), {EXCH} (the whole sent exchange, keyed), {LOGIT}.
ExpandedMessage ExpandMacros(const QString& text, const MacroContext& context);

} // namespace qarvel
