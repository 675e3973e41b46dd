#include "keyer/RigKeyer.h"

#include "rig/RigctldAnswer.h"

namespace qarvel {

RigKeyer::RigKeyer(const RigAddress& address, int wpm, QObject* parent)
    : Keyer(parent), link_(address), wpm_(wpm) {
    reckoned_.setSingleShot(true);
    connect(&reckoned_, &QTimer::timeout, this, &Keyer::Finished);
    connect(&link_, &RigctldLink::Failed, this, [this](const QString& why) {
        reckoned_.stop();
        emit StatusChanged(why, true);
        emit Finished();
    });
    SetSpeed(wpm_);
}

void RigKeyer::Answered(const QString& what, int code) {
    if (code == 0)
        emit StatusChanged(QStringLiteral("rig keyer %1").arg(link_.Address().Text()), false);
    else if (code != RigctldLink::kNoAnswer)
        emit StatusChanged(QStringLiteral("the rig cannot %1 (RPRT %2: %3)")
                               .arg(what)
                               .arg(code)
                               .arg(RigctldAnswer::ErrorWords(code)),
                           true);
}

void RigKeyer::Send(const Transmission& message) {
    const QString text = message.text.trimmed();
    if (text.isEmpty())
        return;
    link_.Command("b " + text.toLatin1(), [this](int code) {
        Answered(QStringLiteral("send CW"), code);
        if (code != 0)
            reckoned_.stop();
    });
    // About 10 dot lengths a character, a dot 1200/wpm ms.
    const int ms = static_cast<int>(text.size()) * 10 * 1200 / std::max(wpm_, 1);
    reckoned_.start(std::max(ms, reckoned_.isActive() ? reckoned_.remainingTime() + ms : ms));
}

void RigKeyer::Stop() {
    const bool was = reckoned_.isActive();
    reckoned_.stop();
    link_.Command("\\stop_morse",
                  [this](int code) { Answered(QStringLiteral("stop sending"), code); });
    if (was)
        emit Finished();
}

void RigKeyer::SetSpeed(int wpm) {
    wpm_ = wpm;
    link_.Command("L KEYSPD " + QByteArray::number(wpm),
                  [this](int code) { Answered(QStringLiteral("set the keyer's speed"), code); });
}

} // namespace qarvel
