#include "reference/MasterScp.h"

#include <QFile>
#include <QStringList>

namespace qarvel {

bool MasterScp::Load(const QString& path) {
    calls_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    while (!file.atEnd()) {
        const QString line = QString::fromLatin1(file.readLine()).trimmed().toUpper();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            calls_.insert(line);
    }
    return true;
}

bool MasterScp::Lists(const QString& call) const {
    const QString c = call.trimmed().toUpper();
    if (calls_.contains(c))
        return true;
    QString longest;
    for (const QString& part : c.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        if (part.size() > longest.size())
            longest = part;
    return !longest.isEmpty() && calls_.contains(longest);
}

} // namespace qarvel
