#pragma once

#include "logbook/SerialNumbers.h"

#include <QList>
#include <QThread>
#include <QTimer>

namespace qarvel {

class SerialBlockFetcher;

// The serial numbers of a log shared by several positions (PostgreSQL):
// the server hands them out in blocks, and this position sends from the
// block it holds. While online the block is topped up before it runs out,
// so a position that loses the server goes on sending numbers nobody else
// has. The numbers held are kept in a file of the position's own, so a
// restart neither loses nor repeats them. Numbers are unique across
// positions, not strictly in time order between them; a block still held
// when the contest ends leaves a gap.
class SharedSerialNumbers : public SerialNumbers {
    Q_OBJECT
public:
    static constexpr int kBlock = 10;
    static constexpr int kLow = 5; // fewer held than this: ask for a block

    SharedSerialNumbers(const QString& location, const QString& table, const QString& position,
                        QObject* parent = nullptr);
    ~SharedSerialNumbers() override;

    std::optional<int> Next() const override;
    void Used(int number) override;
    const QList<int>& Held() const { return held_; }

    // Where a position keeps the numbers it holds.
    static QString HeldPath(const QString& location, const QString& table, const QString& position);

signals:
    void ReserveRequested(int count);

private:
    void TopUp();
    void Save();

    QString path_;
    QList<int> held_;
    bool asking_ = false;
    int retryMs_ = 1000;
    QTimer retry_;
    QThread thread_;
    SerialBlockFetcher* fetcher_ = nullptr;
};

} // namespace qarvel
