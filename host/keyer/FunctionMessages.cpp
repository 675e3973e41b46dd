#include "keyer/FunctionMessages.h"

#include <QSettings>

namespace qarvel {

namespace {

using Set = std::array<FunctionMessage, FunctionMessages::kKeys>;

Set Usual(bool run) {
    Set s;
    s[0] = {QStringLiteral("CQ"), QStringLiteral("CQ {MYCALL} TEST")};
    // Run: his call goes first (ESM sends F5 before it), then the exchange.
    s[1] = {QStringLiteral("Exch"), QStringLiteral("{EXCH}")};
    s[2] = {QStringLiteral("TU"), QStringLiteral("TU {MYCALL}")};
    s[3] = {QStringLiteral("My call"), QStringLiteral("{MYCALL}")};
    s[4] = {QStringLiteral("His call"), QStringLiteral("{HISCALL}")};
    s[6] = {QStringLiteral("?"), QStringLiteral("?")};
    s[7] = {QStringLiteral("AGN"), QStringLiteral("AGN")};
    if (!run) {
        // Answering a CQ: TU goes with the exchange, not after it.
        s[1] = {QStringLiteral("Exch"), QStringLiteral("TU {EXCH}")};
        s[2] = {QStringLiteral("TU"), QStringLiteral("TU")};
    }
    return s;
}

void Read(QSettings& s, const QString& group, Set& set) {
    s.beginGroup(group);
    for (int i = 0; i < FunctionMessages::kKeys; ++i) {
        const QString key = QStringLiteral("F%1").arg(i + 1);
        if (s.contains(key + QStringLiteral("/Label")) || s.contains(key + QStringLiteral("/Text")))
            set[i] = {s.value(key + QStringLiteral("/Label")).toString(),
                      s.value(key + QStringLiteral("/Text")).toString()};
    }
    s.endGroup();
}

void Write(QSettings& s, const QString& group, const Set& set) {
    s.beginGroup(group);
    for (int i = 0; i < FunctionMessages::kKeys; ++i) {
        const QString key = QStringLiteral("F%1").arg(i + 1);
        s.setValue(key + QStringLiteral("/Label"), set[i].label);
        s.setValue(key + QStringLiteral("/Text"), set[i].text);
    }
    s.endGroup();
}

} // namespace

FunctionMessages FunctionMessages::Defaults() {
    return {Usual(true), Usual(false)};
}

FunctionMessages FunctionMessages::Load(const QString& path) {
    FunctionMessages m = Defaults();
    QSettings s(path, QSettings::IniFormat);
    Read(s, QStringLiteral("MessagesRun"), m.run);
    Read(s, QStringLiteral("MessagesSP"), m.searchPounce);
    return m;
}

bool FunctionMessages::Save(const QString& path) const {
    QSettings s(path, QSettings::IniFormat);
    Write(s, QStringLiteral("MessagesRun"), run);
    Write(s, QStringLiteral("MessagesSP"), searchPounce);
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace qarvel
