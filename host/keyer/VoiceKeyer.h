#pragma once

#include "keyer/Keyer.h"

#include <QStringList>
#include <QTimer>
#include <memory>

class QAudioOutput;
class QMediaPlayer;

namespace qarvel {

class RigctldLink;

// The voice keyer for phone: a message's WAV files played one after the
// other on the chosen output, the rig on transmit around them through
// rigctld (T 1 / T 0). Without a rig it only plays. A recording that is
// missing is reported and nothing goes on the air. Should the player never
// end (no sound device), the rig goes back to receive a little after the
// recording's length.
class VoiceKeyer : public Keyer {
    Q_OBJECT
public:
    // `ptt` may be null: no rig to key.
    VoiceKeyer(RigctldLink* ptt, const QString& audioOutput, QObject* parent = nullptr);
    ~VoiceKeyer() override;

    void Send(const Transmission& message) override;
    void Stop() override;
    void SetSpeed(int) override {}
    bool Sending() const override { return playing_; }

    // The playing time of a PCM WAV file from its header; 0 when unknown.
    static int WavMilliseconds(const QString& path);

private:
    void PlayNext();
    void Done();
    void Ptt(bool on);

    RigctldLink* ptt_;
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
    QStringList queue_;
    bool playing_ = false;
    QTimer guard_;
};

} // namespace qarvel
