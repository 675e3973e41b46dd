#pragma once

#include "contest/QsoCheck.h"
#include "logbook/QsoRow.h"
#include "app/StationSettings.h"
#include "rig/RigFollower.h"

#include <QWidget>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace qarvel {

class ContestSession;
class EntryLogger;
class CountryFile;
class LogBook;
class SerialNumbers;

// The line an operator logs on: call, band, mode, exchange received and
// report sent. While the call is typed it shows the country and what the
// contest module would give for the QSO ("DUPE" or the points); when the
// call is complete (space, or leaving the field) the module's known
// exchange fills the exchange field unless the operator has typed there;
// Enter writes the QSO into the log and only then has the module count it.
class QsoEntryLine : public QWidget {
    Q_OBJECT
public:
    QsoEntryLine(ContestSession& session, const CountryFile* countries, LogBook& log,
                 QWidget* parent = nullptr);

    void SetStation(const StationSettings& station);
    // CW, SSB and the modes the log holds besides.
    void RefreshModes();

    // The QSO as the fields stand, its country resolved; no time yet.
    QsoRow CurrentQso() const;
    // The check a QSO passes before Enter logs it; the whole log's check
    // before sending judges each QSO by the same one.
    const QsoCheck& Check() const { return check_; }
    // What the result label says: the preview or the last logged QSO.
    QString ResultText() const;

    // Enter: true when the QSO went into the log.
    bool LogQso();
    // LogQso in two halves, for what sends before it logs: whether Enter
    // would log the QSO now (a finding of the check needs a second Enter),
    // and the write itself.
    bool ReadyToLog();
    bool WriteQso();

    // A station that is not YO sends the serial numbers these hand out.
    void SetSerialNumbers(SerialNumbers* serials);
    // Enter runs `action` instead of logging (Enter Sends Message); Esc
    // first asks `first`, and clears the line only when it did nothing.
    void SetEnterAction(std::function<void()> action) { enterAction_ = std::move(action); }
    void SetEscapeFirst(std::function<bool()> first) { escapeFirst_ = std::move(first); }
    QString CallText() const;
    QString ReceivedText() const;
    QString SentText() const;
    QString ModeText() const;
    void FocusReceived();
    void CallComplete();
    void UpdatePreview();
    // Band and mode follow the rig as it changes; the frequency goes with
    // the QSO while the band is the rig's.
    void FollowRig(const RigState& state);

    // Esc: the call and the exchange go; Alt+W wipes the whole line, the
    // report sent typed by hand and what the result label says too.
    void ClearEntry();
    void WipeEntry();
    // The log changed under the line (a correction, a delete, an undo):
    // what it said about the QSO logged last may be untrue now.
    void ForgetLoggedQso();
    // Alt+Up / Alt+Down, Alt+M.
    void StepBand(int step);
    void NextMode();

    // A call found elsewhere (check partial, a spot) into the Call field,
    // replacing what was typed and an exchange filled in for it.
    void PutCall(const QString& call);
    // Where Space finds an exchange the module does not know (the log's
    // own), and a note on the call shown beside its country.
    void SetLogExchanges(std::function<QString(const QsoRow&)> exchange,
                         std::function<QString(const QsoRow&)> note);

signals:
    // A QSO is in the log; `result` is what the module answered (-1 DUPE).
    // `id` is the row's ID in the log table.
    void Logged(const qarvel::QsoRow& row, int result, qint64 id);
    // The operator typed in the Call field (empty: it was cleared).
    void CallTyped(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static QString ResultWords(int result);
    void CallEdited();
    void ModeChanged();
    QString SentDefault() const;
    void ShowResult(const QString& text, const QColor& colour);
    // "Out of band", or "Not a contest band" while the rig is on a WARC band.
    QString OffBandWords() const;
    void ClearQso();
    void WasLogged(const QsoRow& q, int result, qint64 id);

    ContestSession& session_;
    EntryLogger* logger_ = nullptr;
    const CountryFile* countries_;
    LogBook& log_;
    StationSettings station_;

    QLineEdit* call_ = nullptr;
    QComboBox* band_ = nullptr;
    QComboBox* mode_ = nullptr;
    QLineEdit* received_ = nullptr;
    QLineEdit* sent_ = nullptr;
    QLabel* country_ = nullptr;
    QLabel* result_ = nullptr;

    bool receivedTyped_ = false; // the operator wrote the exchange: never replace it
    bool sentTyped_ = false;
    RigFollower rig_;
    QsoCheck check_;
    // The QSO the check last spoke about: Enter on it unchanged logs it.
    std::optional<QsoRow> checked_;
    SerialNumbers* serials_ = nullptr;
    std::function<void()> enterAction_;
    std::function<bool()> escapeFirst_;
    std::function<QString(const QsoRow&)> logExchange_;
    std::function<QString(const QsoRow&)> callNote_;
};

} // namespace qarvel
