#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace qarvel {

// One answer of rigctld in its extended response protocol (commands sent
// with a leading '+'): the command's name with a colon, "Key: value" lines,
// and "RPRT <code>" last, e.g.
//   get_freq:\nFrequency: 7025000\nRPRT 0\n
// The closing RPRT line is what makes an answer whole, whatever the command;
// the plain protocol has no such end and a half answer there looks whole.
struct RigctldAnswer {
    enum class Kind {
        Incomplete, // no RPRT line yet: wait for more
        Done,       // a whole answer; `code` tells whether the rig did it
        Bad,        // not an answer to `command`: the link is out of step
    };

    Kind kind = Kind::Incomplete;
    int code = 0;                  // RPRT's: 0 done, negative a Hamlib error
    QMap<QString, QString> values; // "Frequency" -> "7025000"
    qsizetype length = 0;          // bytes of the buffer the answer took
    QString problem;               // for Bad: what was wrong, fit to show

    // The answer at the start of `buffer` to `command` ("get_freq").
    static RigctldAnswer Parse(const QByteArray& buffer, const QString& command);
    // A few words for a Hamlib error code ("communication timed out").
    static QString ErrorWords(int code);
};

} // namespace qarvel
