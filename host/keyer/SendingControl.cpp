#include "keyer/SendingControl.h"

#include "app/StationSettings.h"
#include "keyer/CwDaemonKeyer.h"
#include "keyer/MessageBar.h"
#include "keyer/MessageMacros.h"
#include "keyer/RigKeyer.h"
#include "keyer/RigctldLink.h"
#include "keyer/VoiceKeyer.h"
#include "windows/QsoEntryLine.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <algorithm>

namespace qarvel {

SendingControl::SendingControl(QsoEntryLine& entry, MessageBar& bar, QStatusBar& status,
                               QObject* parent)
    : QObject(parent), entry_(entry), entryAlive_(&entry), bar_(bar) {
    setLabel_ = new QLabel(&status);
    setLabel_->setObjectName(QStringLiteral("SendingSet"));
    speedLabel_ = new QLabel(&status);
    speedLabel_->setObjectName(QStringLiteral("KeyerSpeed"));
    keyerLabel_ = new QLabel(&status);
    keyerLabel_->setObjectName(QStringLiteral("KeyerStatus"));
    status.addPermanentWidget(keyerLabel_);
    status.addPermanentWidget(speedLabel_);
    status.addPermanentWidget(setLabel_);
    connect(&bar_, &MessageBar::Clicked, this, [this](int key) {
        SendKey(key);
        entry_.setFocus();
    });
    entry_.SetEscapeFirst([this] { return StopSending(); });
    Apply(KeyerSettings::Load(StationSettingsPath()), FunctionMessages::Load(StationSettingsPath()));
}

SendingControl::~SendingControl() {
    if (!entryAlive_)
        return;
    entry_.SetEscapeFirst({});
    entry_.SetEnterAction({});
}

void SendingControl::FillMenu(QMenu* menu, const std::function<void()>& editor) {
    for (int key = 1; key <= FunctionMessages::kKeys; ++key) {
        auto* a = new QAction(QStringLiteral("Send message F%1").arg(key), menu);
        a->setShortcut(QKeySequence(Qt::Key_F1 + key - 1));
        // Only while the entry line has the keyboard: F2 in the log view
        // corrects a QSO.
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, [this, key] { SendKey(key); });
        entry_.addAction(a);
        menu->addAction(a);
    }
    menu->addSeparator();
    auto* sw = menu->addAction(QStringLiteral("Switch Run / S&&P"), this, &SendingControl::SwitchSet);
    sw->setShortcut(QKeySequence(Qt::ALT | Qt::Key_R));
    const auto entryKey = [this, menu](const QString& text, Qt::Key key, auto slot) {
        auto* a = new QAction(text, menu);
        a->setShortcut(QKeySequence(key));
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, slot);
        entry_.addAction(a);
        menu->addAction(a);
    };
    entryKey(QStringLiteral("CW faster by 2 wpm"), Qt::Key_PageUp,
             [this] { StepSpeed(KeyerSettings::kWpmStep); });
    entryKey(QStringLiteral("CW slower by 2 wpm"), Qt::Key_PageDown,
             [this] { StepSpeed(-KeyerSettings::kWpmStep); });
    menu->addAction(QStringLiteral("Stop sending (Esc)"), this, [this] { StopSending(); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Keyer and messages..."), this, editor);
}

void SendingControl::SetStation(const StationSettings& station) {
    const bool rigMoved = station.rig != station_.rig;
    station_ = station;
    if (rigMoved)
        Rebuild();
}

void SendingControl::UseCwDaemonForThisRun(const QString& address) {
    runKeyer_ = address;
    Rebuild();
}

void SendingControl::Apply(const KeyerSettings& settings, const FunctionMessages& messages) {
    settings_ = settings;
    messages_ = messages;
    if (settings_.enterSends)
        entry_.SetEnterAction([this] { Enter(); });
    else
        entry_.SetEnterAction({});
    Rebuild();
    ShowSet();
    ShowSpeed();
}

void SendingControl::Rebuild() {
    delete cw_;
    cw_ = nullptr;
    delete voice_;
    voice_ = nullptr;
    delete ptt_;
    ptt_ = nullptr;
    const auto rig = RigAddress::Parse(station_.rig);
    KeyerSettings::Kind kind = settings_.kind;
    QString cwdaemon = settings_.cwdaemon;
    if (runKeyer_) {
        kind = runKeyer_->isEmpty() ? KeyerSettings::Kind::None : KeyerSettings::Kind::CwDaemon;
        cwdaemon = *runKeyer_;
    }
    QString text;
    bool failed = false;
    if (kind == KeyerSettings::Kind::CwDaemon) {
        if (const auto at = CwDaemonKeyer::ParseAddress(cwdaemon)) {
            cw_ = new CwDaemonKeyer(*at, settings_.wpm, this);
            text = QStringLiteral("cwdaemon %1").arg(at->Text());
        } else {
            text = QStringLiteral("no keyer: cwdaemon's address %1 is not HOST:PORT").arg(cwdaemon);
            failed = true;
        }
    } else if (kind == KeyerSettings::Kind::Rig) {
        if (rig) {
            cw_ = new RigKeyer(*rig, settings_.wpm, this);
            text = QStringLiteral("rig keyer %1").arg(rig->Text());
        } else {
            text = QStringLiteral("no keyer: the rig keyer needs rigctld (Station > Settings)");
            failed = true;
        }
    }
    if (!settings_.voiceFolder.isEmpty()) {
        if (rig)
            ptt_ = new RigctldLink(*rig, this);
        voice_ = new qarvel::VoiceKeyer(ptt_, settings_.audioOutput, this);
    }
    for (Keyer* k : {cw_, voice_})
        if (k)
            connect(k, &Keyer::StatusChanged, this, &SendingControl::ShowKeyer);
    ShowKeyer(text, failed);
}

void SendingControl::ShowKeyer(const QString& text, bool failed) {
    keyerLabel_->setText(text);
    keyerLabel_->setVisible(!text.isEmpty());
    QPalette p = keyerLabel_->palette();
    p.setColor(QPalette::WindowText,
               failed ? QColor(200, 0, 0) : keyerLabel_->parentWidget()->palette().color(
                                                QPalette::WindowText));
    keyerLabel_->setPalette(p);
}

void SendingControl::ShowSet() {
    const QString name = Run() ? QStringLiteral("Run") : QStringLiteral("S&P");
    setLabel_->setText(name);
    bar_.Show(Set(), name);
}

void SendingControl::ShowSpeed() {
    speedLabel_->setText(QStringLiteral("%1 wpm").arg(settings_.wpm));
}

void SendingControl::SwitchSet() {
    set_ = Run() ? EnterSendsMessage::Set::SearchPounce : EnterSendsMessage::Set::Run;
    esm_.Reset();
    ShowSet();
    emit SetChanged(Run());
}

const std::array<FunctionMessage, FunctionMessages::kKeys>& SendingControl::Set() const {
    return Run() ? messages_.run : messages_.searchPounce;
}

bool SendingControl::Phone() const {
    const QString mode = entry_.ModeText();
    return mode == QLatin1String("SSB") || mode == QLatin1String("FM") ||
           mode == QLatin1String("AM");
}

QString SendingControl::Expanded(int key) const {
    if (key < 1 || key > FunctionMessages::kKeys)
        return {};
    const MacroContext context{station_.call, entry_.CallText(), entry_.ModeText(),
                               entry_.SentText(), settings_.serial};
    return ExpandMacros(Set()[key - 1].text, context).text;
}

bool SendingControl::SendKeys(const std::vector<int>& keys, bool logIt) {
    const MacroContext context{station_.call, entry_.CallText(), entry_.ModeText(),
                               entry_.SentText(), settings_.serial};
    Transmission message;
    for (int key : keys) {
        if (key < 1 || key > FunctionMessages::kKeys)
            continue;
        const ExpandedMessage e = ExpandMacros(Set()[key - 1].text, context);
        logIt = logIt || e.logIt;
        if (Phone()) {
            // On phone the operator says the other call himself.
            if (Set()[key - 1].text.trimmed().compare(QLatin1String("{HISCALL}"),
                                                      Qt::CaseInsensitive) != 0 || keys.size() == 1)
                message.recordings << settings_.Recording(Run(), key);
        }
        if (!e.text.isEmpty())
            message.text += (message.text.isEmpty() ? QString() : QStringLiteral(" ")) + e.text;
    }
    // A QSO the check objects to is neither sent nor logged on the first Enter.
    if (logIt && !entry_.ReadyToLog())
        return false;
    Keyer* keyer = Phone() ? voice_ : cw_;
    if (keyer && (Phone() ? !message.recordings.isEmpty() : !message.text.isEmpty()))
        keyer->Send(message);
    if (!message.text.isEmpty())
        emit Sent(message.text);
    if (logIt && entry_.WriteQso())
        esm_.Reset();
    return true;
}

bool SendingControl::SendKey(int key) {
    return SendKeys({key}, false);
}

void SendingControl::Enter() {
    // Without a keyer for the mode nothing goes out: Enter logs, as before.
    if (!(Phone() ? voice_ : cw_)) {
        entry_.LogQso();
        return;
    }
    const QString call = entry_.CallText();
    const EnterSendsMessage::Step step = esm_.Next(set_, call, entry_.ReceivedText());
    if (step.toReceived) {
        entry_.CallComplete();
        entry_.FocusReceived();
    }
    // Refused by the check, the step stays where it is: the next Enter
    // takes the same one again.
    SendKeys(step.keys, step.logIt);
}

bool SendingControl::StopSending() {
    bool stopped = false;
    for (Keyer* k : {cw_, voice_})
        if (k && k->Sending()) {
            k->Stop();
            stopped = true;
        }
    return stopped;
}

void SendingControl::StepSpeed(int step) {
    settings_.wpm = std::clamp(settings_.wpm + step, KeyerSettings::kMinWpm, KeyerSettings::kMaxWpm);
    if (cw_)
        cw_->SetSpeed(settings_.wpm);
    ShowSpeed();
    // Only the speed: a keyer given for this run is not stored.
    QSettings s(StationSettingsPath(), QSettings::IniFormat);
    s.setValue(QStringLiteral("Keyer/Wpm"), settings_.wpm);
}

} // namespace qarvel
