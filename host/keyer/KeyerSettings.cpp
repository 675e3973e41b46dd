#include "keyer/KeyerSettings.h"

#include <QDir>
#include <QSettings>
#include <algorithm>

namespace qarvel {

namespace {

const char* const kKinds[] = {"none", "cwdaemon", "rig"};
const char* const kCuts[] = {"none", "T0-N9", "T0-N9-A1"};

template <typename E, size_t N>
E Named(const QString& text, const char* const (&names)[N], E fallback) {
    for (size_t i = 0; i < N; ++i)
        if (text == QLatin1String(names[i]))
            return static_cast<E>(i);
    return fallback;
}

} // namespace

KeyerSettings KeyerSettings::Load(const QString& path) {
    QSettings s(path, QSettings::IniFormat);
    KeyerSettings k;
    s.beginGroup(QStringLiteral("Keyer"));
    k.kind = Named(s.value(QStringLiteral("Kind")).toString(), kKinds, k.kind);
    k.cwdaemon = s.value(QStringLiteral("CwDaemon"), k.cwdaemon).toString().trimmed();
    k.wpm = std::clamp(s.value(QStringLiteral("Wpm"), k.wpm).toInt(), kMinWpm, kMaxWpm);
    k.serial.leadingZeros = s.value(QStringLiteral("LeadingZeros"), true).toBool();
    k.serial.cut = Named(s.value(QStringLiteral("CutNumbers")).toString(), kCuts, k.serial.cut);
    k.enterSends = s.value(QStringLiteral("EnterSendsMessage"), true).toBool();
    k.voiceFolder = s.value(QStringLiteral("VoiceFolder")).toString();
    k.audioOutput = s.value(QStringLiteral("AudioOutput")).toString();
    return k;
}

bool KeyerSettings::Save(const QString& path) const {
    QSettings s(path, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Keyer"));
    s.setValue(QStringLiteral("Kind"), QLatin1String(kKinds[static_cast<int>(kind)]));
    s.setValue(QStringLiteral("CwDaemon"), cwdaemon);
    s.setValue(QStringLiteral("Wpm"), wpm);
    s.setValue(QStringLiteral("LeadingZeros"), serial.leadingZeros);
    s.setValue(QStringLiteral("CutNumbers"), QLatin1String(kCuts[static_cast<int>(serial.cut)]));
    s.setValue(QStringLiteral("EnterSendsMessage"), enterSends);
    s.setValue(QStringLiteral("VoiceFolder"), voiceFolder);
    s.setValue(QStringLiteral("AudioOutput"), audioOutput);
    s.endGroup();
    s.sync();
    return s.status() == QSettings::NoError;
}

QString KeyerSettings::Recording(bool run, int key) const {
    return QDir(voiceFolder).filePath(
        QStringLiteral("%1-f%2.wav").arg(run ? QStringLiteral("run") : QStringLiteral("sp")).arg(key));
}

} // namespace qarvel
