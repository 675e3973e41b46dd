#pragma once

#include "app/StationSettings.h"
#include "keyer/EnterSendsMessage.h"
#include "keyer/FunctionMessages.h"
#include "keyer/KeyerSettings.h"

#include <QObject>
#include <QPointer>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QStatusBar;

namespace qarvel {

class Keyer;
class MessageBar;
class QsoEntryLine;
class RigctldLink;

// What the station sends, on the entry line's behalf: the messages on F1 to
// F12 in the Run and S&P sets, Enter Sends Message, the CW keyer (cwdaemon
// or the rig's own) and the voice keyer for phone, the speed, and Esc's
// first press that stops sending. Nothing here waits on a keyer: a keyer
// that is gone shows in red in the status bar and logging goes on.
class SendingControl : public QObject {
    Q_OBJECT
public:
    SendingControl(QsoEntryLine& entry, MessageBar& bar, QStatusBar& status, QObject* parent);
    ~SendingControl() override;

    // The station (own call, rigctld's address for the rig keyer and PTT).
    void SetStation(const StationSettings& station);
    // A cwdaemon for this run only (--keyer); empty: no keyer this run.
    void UseCwDaemonForThisRun(const QString& address);
    void Apply(const KeyerSettings& settings, const FunctionMessages& messages);
    const KeyerSettings& Settings() const { return settings_; }
    const FunctionMessages& Messages() const { return messages_; }

    // The menu's entries; `editor` opens the keyer and messages dialog.
    void FillMenu(QMenu* menu, const std::function<void()>& editor);

    bool Run() const { return set_ == EnterSendsMessage::Set::Run; }
    void SwitchSet();
    // F1..F12: the message of the set in use; true when something was sent.
    bool SendKey(int key);
    void Enter();
    // Esc's first press: true when something was being sent and stopped.
    bool StopSending();
    void StepSpeed(int step);
    int Wpm() const { return settings_.wpm; }
    Keyer* CwKeyer() const { return cw_; }
    Keyer* VoiceKeyer() const { return voice_; }

    // The keyer's text of message `key` of the set in use, as it would go now.
    QString Expanded(int key) const;

signals:
    // A message went to a keyer (or would have, without one): its text.
    void Sent(const QString& text);
    // Run or S&P is now in use.
    void SetChanged(bool run);

private:
    void Rebuild();
    void ShowSet();
    void ShowSpeed();
    void ShowKeyer(const QString& text, bool failed);
    bool SendKeys(const std::vector<int>& keys, bool logIt);
    const std::array<FunctionMessage, FunctionMessages::kKeys>& Set() const;
    bool Phone() const;

    QsoEntryLine& entry_;
    // The window may take the entry line down first.
    QPointer<QsoEntryLine> entryAlive_;
    MessageBar& bar_;
    StationSettings station_;
    KeyerSettings settings_;
    FunctionMessages messages_;
    std::optional<QString> runKeyer_; // --keyer
    EnterSendsMessage::Set set_ = EnterSendsMessage::Set::Run;
    EnterSendsMessage esm_;
    Keyer* cw_ = nullptr;
    Keyer* voice_ = nullptr;
    RigctldLink* ptt_ = nullptr;
    QLabel* setLabel_ = nullptr;
    QLabel* speedLabel_ = nullptr;
    QLabel* keyerLabel_ = nullptr;
};

} // namespace qarvel
