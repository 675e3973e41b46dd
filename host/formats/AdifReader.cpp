#include "formats/AdifReader.h"

#include <algorithm>

namespace qarvel {

namespace {

// Line numbers of byte offsets, from the offsets of the line breaks.
class LineIndex {
public:
    explicit LineIndex(const QByteArray& data) {
        for (qsizetype i = 0; i < data.size(); ++i)
            if (data[i] == '\n')
                breaks_.push_back(i);
    }
    int LineOf(qsizetype offset) const {
        return 1 + static_cast<int>(std::lower_bound(breaks_.begin(), breaks_.end(), offset) -
                                    breaks_.begin());
    }

private:
    std::vector<qsizetype> breaks_;
};

bool IsDigits(const QByteArray& s) {
    return !s.isEmpty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

QString AdifPosition::Describe() const {
    return QStringLiteral("record %1 (line %2)").arg(record).arg(line);
}

QString AdifProblem::Describe() const {
    return QStringLiteral("%1: %2").arg(position.Describe(), reason);
}

AdifContents ReadAdif(const QByteArray& data) {
    AdifContents out;
    const LineIndex lines(data);

    // A file whose first character is not '<' starts with a header; some
    // writers also put header fields first and close them with <EOH>, which
    // is handled below by forgetting what was read before it.
    qsizetype pos = 0;
    if (!data.isEmpty() && data[0] != '<') {
        const qsizetype eoh = data.toLower().indexOf("<eoh>");
        pos = eoh >= 0 ? eoh + 5 : data.indexOf('<');
        if (pos < 0)
            return out;
    }

    int number = 0;
    AdifRecord current;
    QString fault;
    bool open = false; // a record has begun and not yet ended

    auto begin = [&](qsizetype at) {
        if (!open) {
            open = true;
            current = AdifRecord{};
            current.position = AdifPosition{++number, lines.LineOf(at)};
            fault.clear();
        }
    };
    auto finish = [&] {
        if (fault.isEmpty())
            out.records.push_back(std::move(current));
        else
            out.problems.push_back(AdifProblem{current.position, fault});
        open = false;
    };

    while (pos < data.size()) {
        const qsizetype lt = data.indexOf('<', pos);
        if (lt < 0)
            break;
        const qsizetype gt = data.indexOf('>', lt + 1);
        if (gt < 0) {
            begin(lt);
            if (fault.isEmpty())
                fault = QStringLiteral("a tag is not closed before the end of the file");
            pos = data.size();
            break;
        }
        const QByteArray tag = data.mid(lt + 1, gt - lt - 1).trimmed();
        pos = gt + 1;
        const QList<QByteArray> parts = tag.split(':');
        const QByteArray name = parts[0].trimmed().toUpper();

        if (parts.size() == 1) {
            if (name == "EOR") {
                if (open)
                    finish();
                continue;
            }
            if (name == "EOH") {
                // What came before was header, not a record.
                open = false;
                number = 0;
                continue;
            }
            begin(lt);
            if (fault.isEmpty())
                fault = QStringLiteral("the tag <%1> has no length").arg(QString::fromUtf8(tag));
            continue;
        }

        begin(lt);
        const QByteArray length = parts[1].trimmed();
        if (name.isEmpty() || !IsDigits(length)) {
            if (fault.isEmpty())
                fault =
                    QStringLiteral("the tag <%1> has no valid length").arg(QString::fromUtf8(tag));
            continue;
        }
        bool ok = false;
        const qsizetype n = length.toLongLong(&ok);
        if (!ok || n > data.size() - pos) {
            if (fault.isEmpty())
                fault = QStringLiteral("the field %1 runs past the end of the file")
                            .arg(QString::fromUtf8(name));
            pos = data.size();
            break;
        }
        current.fields.insert(QString::fromUtf8(name), QString::fromUtf8(data.mid(pos, n)));
        pos += n;
    }
    if (open) {
        if (fault.isEmpty())
            fault = QStringLiteral("the file ends before the record's <EOR>");
        finish();
    }
    return out;
}

} // namespace qarvel
