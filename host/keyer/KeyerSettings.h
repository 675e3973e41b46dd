#pragma once

#include "keyer/SerialText.h"

#include <QString>

namespace qarvel {

// How this station sends, kept with the station's settings (group "Keyer").
struct KeyerSettings {
    enum class Kind { None, CwDaemon, Rig };
    Kind kind = Kind::None;
    QString cwdaemon = QStringLiteral("localhost:6789"); // host:port of cwdaemon or winkeydaemon
    int wpm = 28;
    SerialStyle serial;
    bool enterSends = true; // ESM; off: Enter only logs
    // The voice keyer for phone: one WAV file per message, run-f1.wav ...
    // sp-f12.wav, in this folder; empty: none.
    QString voiceFolder;
    QString audioOutput; // the output's description; empty: the system's default

    static constexpr int kMinWpm = 4, kMaxWpm = 60, kWpmStep = 2;

    static KeyerSettings Load(const QString& path);
    bool Save(const QString& path) const;
    // The recording of message `key` (1..12) of a set.
    QString Recording(bool run, int key) const;
};

} // namespace qarvel
