#include "logbook/SharedSerialNumbers.h"

#include "logbook/SerialBlockFetcher.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

namespace qarvel {

QString SharedSerialNumbers::HeldPath(const QString& location, const QString& table,
                                      const QString& position) {
    // No password in the name: the address is hashed.
    QUrl url(location);
    url.setPassword({});
    const QByteArray key = (url.toString() + QLatin1Char('|') + table + QLatin1Char('|') + position)
                               .toUtf8();
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/qarvel/serials/") +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16)) +
           QStringLiteral(".ini");
}

SharedSerialNumbers::SharedSerialNumbers(const QString& location, const QString& table,
                                         const QString& position, QObject* parent)
    : SerialNumbers(parent), path_(HeldPath(location, table, position)) {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    for (const QVariant& v : QSettings(path_, QSettings::IniFormat).value(QStringLiteral("Held")).toList())
        if (v.toInt() > 0)
            held_ << v.toInt();
    std::sort(held_.begin(), held_.end());

    fetcher_ = new SerialBlockFetcher(location, table);
    fetcher_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, fetcher_, &QObject::deleteLater);
    connect(this, &SharedSerialNumbers::ReserveRequested, fetcher_, &SerialBlockFetcher::Reserve);
    connect(fetcher_, &SerialBlockFetcher::Reserved, this, [this](int first, int last) {
        asking_ = false;
        retryMs_ = 1000;
        const bool had = !held_.isEmpty();
        for (int n = first; n <= last; ++n)
            held_ << n;
        Save();
        emit StatusChanged(QStringLiteral("serials up to %1 held").arg(held_.last()), false);
        if (!had)
            emit Changed();
    });
    connect(fetcher_, &SerialBlockFetcher::Failed, this, [this](const QString& why) {
        asking_ = false;
        emit StatusChanged(QStringLiteral("no serial numbers from the server (%1 held): %2")
                               .arg(held_.size())
                               .arg(why),
                           true);
        retry_.start(retryMs_);
        retryMs_ = std::min(retryMs_ * 2, 30000);
    });
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &SharedSerialNumbers::TopUp);
    thread_.setObjectName(QStringLiteral("qarvel serials"));
    thread_.start();
    TopUp();
}

SharedSerialNumbers::~SharedSerialNumbers() {
    // A statement under way ends within its timeout.
    thread_.quit();
    thread_.wait();
}

std::optional<int> SharedSerialNumbers::Next() const {
    if (held_.isEmpty())
        return std::nullopt;
    return held_.first();
}

void SharedSerialNumbers::Used(int number) {
    if (held_.removeOne(number))
        Save();
    TopUp();
}

void SharedSerialNumbers::TopUp() {
    if (asking_ || held_.size() >= kLow || retry_.isActive())
        return;
    asking_ = true;
    emit ReserveRequested(kBlock);
}

void SharedSerialNumbers::Save() {
    QVariantList list;
    for (int n : held_)
        list << n;
    QSettings s(path_, QSettings::IniFormat);
    s.setValue(QStringLiteral("Held"), list);
    s.sync();
    if (s.status() != QSettings::NoError)
        emit StatusChanged(QStringLiteral("the serial numbers held could not be kept in %1").arg(path_),
                           true);
}

} // namespace qarvel
