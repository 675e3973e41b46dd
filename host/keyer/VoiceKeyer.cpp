#include "keyer/VoiceKeyer.h"

#include "keyer/RigctldLink.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>
#include <QtEndian>

namespace qarvel {

VoiceKeyer::VoiceKeyer(RigctldLink* ptt, const QString& audioOutput, QObject* parent)
    : Keyer(parent), ptt_(ptt) {
    player_ = new QMediaPlayer(this);
    output_ = new QAudioOutput(this);
    for (const QAudioDevice& d : QMediaDevices::audioOutputs())
        if (d.description() == audioOutput)
            output_->setDevice(d);
    player_->setAudioOutput(output_);
    guard_.setSingleShot(true);
    connect(&guard_, &QTimer::timeout, this, [this] {
        player_->stop();
        PlayNext();
    });
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
        if (playing_ && (s == QMediaPlayer::EndOfMedia || s == QMediaPlayer::InvalidMedia))
            PlayNext();
    });
    connect(player_, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString& text) {
                if (!playing_)
                    return;
                emit StatusChanged(QStringLiteral("voice keyer: %1").arg(text), true);
                PlayNext();
            });
}

VoiceKeyer::~VoiceKeyer() {
    if (playing_)
        Ptt(false);
}

int VoiceKeyer::WavMilliseconds(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = f.read(4096);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return 0;
    quint32 byteRate = 0;
    qsizetype at = 12;
    while (at + 8 <= head.size()) {
        const QByteArray id = head.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(head.constData() + at + 4);
        if (id == "fmt " && at + 20 <= head.size())
            byteRate = qFromLittleEndian<quint32>(head.constData() + at + 16);
        if (id == "data")
            return byteRate ? static_cast<int>(qint64(size) * 1000 / byteRate) : 0;
        at += 8 + size + (size & 1);
    }
    return 0;
}

void VoiceKeyer::Send(const Transmission& message) {
    for (const QString& file : message.recordings) {
        if (!QFileInfo(file).isReadable()) {
            // Half a message on the air is worse than none.
            emit StatusChanged(QStringLiteral("voice keyer: no recording %1").arg(file), true);
            return;
        }
    }
    if (message.recordings.isEmpty())
        return;
    queue_ += message.recordings;
    if (playing_)
        return;
    playing_ = true;
    Ptt(true);
    emit StatusChanged(QStringLiteral("voice keyer"), false);
    PlayNext();
}

void VoiceKeyer::PlayNext() {
    guard_.stop();
    if (queue_.isEmpty()) {
        Done();
        return;
    }
    const QString file = queue_.takeFirst();
    const int ms = WavMilliseconds(file);
    guard_.start((ms > 0 ? ms : 30000) + 1500);
    player_->setSource(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
    player_->play();
}

void VoiceKeyer::Stop() {
    queue_.clear();
    if (!playing_)
        return;
    player_->stop();
    Done();
}

void VoiceKeyer::Done() {
    guard_.stop();
    if (!playing_)
        return;
    playing_ = false;
    Ptt(false);
    emit Finished();
}

void VoiceKeyer::Ptt(bool on) {
    if (!ptt_)
        return;
    ptt_->Command(on ? "T 1" : "T 0", [this, on](int code) {
        if (code != 0)
            emit StatusChanged(
                QStringLiteral("voice keyer: the rig did not go to %1 (%2)")
                    .arg(on ? QStringLiteral("transmit") : QStringLiteral("receive"))
                    .arg(code == RigctldLink::kNoAnswer ? QStringLiteral("no rigctld")
                                                        : QStringLiteral("RPRT %1").arg(code)),
                true);
    });
}

} // namespace qarvel
