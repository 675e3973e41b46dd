#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace qarvel {

// What one message puts on the air: the text for a CW keyer, the
// recordings for a voice keyer.
struct Transmission {
    QString text;
    QStringList recordings;
};

// Something that sends messages. Nothing here ever waits: a keyer takes a
// message, returns at once and tells by signals how it went.
class Keyer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void Send(const Transmission& message) = 0;
    // Stops what is being sent, at once.
    virtual void Stop() = 0;
    virtual void SetSpeed(int wpm) = 0;
    virtual bool Sending() const = 0;

signals:
    // Everything handed over has gone out (or was stopped).
    void Finished();
    // For the status bar: what the keyer is, or in `failed` why it is not
    // sending.
    void StatusChanged(const QString& text, bool failed);
};

} // namespace qarvel
