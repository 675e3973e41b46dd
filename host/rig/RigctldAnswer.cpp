#include "rig/RigctldAnswer.h"

#include <array>

namespace qarvel {

namespace {

// What an operator may see of a line that made no sense: printable and short.
QString Excerpt(const QByteArray& line) {
    QString out;
    for (const char c : line.left(40))
        out += (c >= 0x20 && c < 0x7f) ? QLatin1Char(c) : QLatin1Char('?');
    if (line.size() > 40)
        out += QStringLiteral("...");
    return QLatin1Char('"') + out + QLatin1Char('"');
}

RigctldAnswer Unexpected(const QByteArray& line, const QString& command) {
    RigctldAnswer a;
    a.kind = RigctldAnswer::Kind::Bad;
    a.problem = QStringLiteral("%1 in answer to %2").arg(Excerpt(line), command);
    return a;
}

} // namespace

RigctldAnswer RigctldAnswer::Parse(const QByteArray& buffer, const QString& command) {
    RigctldAnswer answer;
    qsizetype start = 0;
    bool first = true;
    for (;;) {
        const qsizetype end = buffer.indexOf('\n', start);
        if (end < 0)
            return answer; // Incomplete: the rest of the line is still on its way
        QByteArray line = buffer.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        start = end + 1;
        if (line.startsWith("RPRT ")) {
            bool ok = false;
            answer.code = line.mid(5).trimmed().toInt(&ok);
            if (!ok)
                return Unexpected(line, command);
            answer.kind = Kind::Done;
            answer.length = start;
            return answer;
        }
        if (first) {
            first = false;
            // The echo of the command: an answer to another one means
            // the link has lost step with its requests.
            // A set command's echo carries its arguments ("set_freq: 7025000").
            const QByteArray echo = command.toLatin1() + ':';
            if (line == echo || line.startsWith(echo + ' '))
                continue;
            return Unexpected(line, command);
        }
        const qsizetype colon = line.indexOf(": ");
        if (colon <= 0)
            return Unexpected(line, command);
        for (const char c : line)
            if (c < 0x20 || c > 0x7e)
                return Unexpected(line, command);
        answer.values.insert(QString::fromLatin1(line.left(colon)),
                             QString::fromLatin1(line.mid(colon + 2)).trimmed());
    }
}

QString RigctldAnswer::ErrorWords(int code) {
    // Hamlib's rig_errcode_e, negated on the wire.
    static constexpr std::array<const char*, 18> kWords = {
        "no error",
        "invalid parameter",
        "invalid configuration",
        "out of memory",
        "not implemented",
        "communication timed out",
        "I/O error",
        "internal Hamlib error",
        "protocol error",
        "command rejected by the rig",
        "command performed, but arg truncated",
        "function not available",
        "VFO not targetable",
        "error talking on the bus",
        "collision on the bus",
        "NULL argument",
        "invalid VFO",
        "argument out of domain",
    };
    const int index = -code;
    if (index >= 0 && index < static_cast<int>(kWords.size()))
        return QLatin1String(kWords[static_cast<std::size_t>(index)]);
    return QStringLiteral("Hamlib error %1").arg(code);
}

} // namespace qarvel
