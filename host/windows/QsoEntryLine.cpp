#include "windows/QsoEntryLine.h"

#include "reference/BandPlan.h"
#include "reference/CallSignText.h"
#include "contest/ContestSession.h"
#include "reference/CountryFile.h"
#include "contest/EntryLogger.h"
#include "logbook/LogBook.h"
#include "logbook/SerialNumbers.h"
#include "keyer/SerialText.h"
#include "ui/ErrorReporter.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QUuid>
#include <QDateTime>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

namespace qarvel {

namespace {

QLineEdit* Field(QWidget* parent, const char* name, int width) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setMinimumWidth(width);
    QFont f = e->font();
    f.setFamily(QStringLiteral("DejaVu Sans Mono"));
    f.setPointSize(f.pointSize() + 2);
    e->setFont(f);
    return e;
}

} // namespace

QsoEntryLine::QsoEntryLine(ContestSession& session, const CountryFile* countries, LogBook& log,
                           QWidget* parent)
    : QWidget(parent), session_(session), countries_(countries), log_(log),
      check_(QsoCheck::FromPluginsFolder(
          countries, QCoreApplication::applicationDirPath() + QStringLiteral("/Plugins"))) {
    setObjectName(QStringLiteral("QsoEntryLine"));
    logger_ = new EntryLogger(log_, session_, this);
    connect(logger_, &EntryLogger::Logged, this, &QsoEntryLine::WasLogged);
    connect(logger_, &EntryLogger::Failed, this, [](const QsoRow& q, const QString& error) {
        zelmar::ReportError(
            QStringLiteral("The QSO with %1 was not logged: %2").arg(q.call, error));
    });
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);

    call_ = Field(this, "EntryCall", 110);
    band_ = new QComboBox(this);
    band_->setObjectName(QStringLiteral("EntryBand"));
    // Named in metres as the statistics window names them; the QSO keeps
    // the band text the module counts by.
    for (const QString& band : ContestBandTexts())
        band_->addItem(MetresOfBand(band), band);
    band_->setCurrentIndex(band_->findData(QStringLiteral("14")));
    // Shown while the rig is on none of the contest bands, and wide enough
    // to be read then.
    band_->setPlaceholderText(QStringLiteral("out of band"));
    band_->setMinimumContentsLength(static_cast<int>(QStringLiteral("not a contest band").size()));
    band_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    mode_ = new QComboBox(this);
    mode_->setObjectName(QStringLiteral("EntryMode"));
    received_ = Field(this, "EntryReceived", 100);
    sent_ = Field(this, "EntrySent", 80);
    country_ = new QLabel(this);
    country_->setObjectName(QStringLiteral("EntryCountry"));
    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("EntryResult"));
    QFont bold = result_->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    result_->setFont(bold);
    // Narrow enough that the line fits a small screen; the words wrap.
    result_->setMinimumWidth(120);

    const char* headings[] = {"Call", "Band", "Mode", "Received", "Sent"};
    for (int i = 0; i < 5; ++i)
        grid->addWidget(new QLabel(QLatin1String(headings[i]), this), 0, i);
    grid->addWidget(call_, 1, 0);
    grid->addWidget(band_, 1, 1);
    grid->addWidget(mode_, 1, 2);
    grid->addWidget(received_, 1, 3);
    grid->addWidget(sent_, 1, 4);
    // A finding of the check is a sentence: it wraps beside the fields
    // rather than being cut off at the window's edge.
    result_->setWordWrap(true);
    grid->addWidget(result_, 0, 5, 3, 1);
    grid->addWidget(country_, 2, 0, 1, 5);
    // The fields are as narrow as a small screen needs; where there is
    // room, they and the findings share it.
    for (const int column : {0, 3, 4})
        grid->setColumnStretch(column, 1);
    grid->setColumnStretch(5, 4);

    call_->installEventFilter(this);
    connect(call_, &QLineEdit::textEdited, this, &QsoEntryLine::CallEdited);
    connect(received_, &QLineEdit::textEdited, this, [this] { receivedTyped_ = true; });
    connect(sent_, &QLineEdit::textEdited, this, [this] { sentTyped_ = true; });
    connect(band_, &QComboBox::currentTextChanged, this, &QsoEntryLine::UpdatePreview);
    connect(mode_, &QComboBox::currentTextChanged, this, &QsoEntryLine::ModeChanged);
    for (QLineEdit* e : {call_, received_, sent_})
        connect(e, &QLineEdit::returnPressed, this, [this] {
            if (enterAction_)
                enterAction_();
            else
                LogQso();
        });

    // Whoever gives the line the focus gives it to the call.
    setFocusProxy(call_);
    auto key = [this](const QString& text, const QKeySequence& keys, auto slot) {
        auto* a = new QAction(text, this);
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
    };
    key(QStringLiteral("Stop sending; else clear the call and the exchange"),
        QKeySequence(Qt::Key_Escape),
        [this] {
            if (!escapeFirst_ || !escapeFirst_())
                ClearEntry();
        });
    key(QStringLiteral("Wipe the entry line"), QKeySequence(Qt::ALT | Qt::Key_W),
        [this] { WipeEntry(); });
    key(QStringLiteral("Band up"), QKeySequence(Qt::ALT | Qt::Key_Up), [this] { StepBand(1); });
    key(QStringLiteral("Band down"), QKeySequence(Qt::ALT | Qt::Key_Down),
        [this] { StepBand(-1); });
    key(QStringLiteral("Next mode"), QKeySequence(Qt::ALT | Qt::Key_M), [this] { NextMode(); });

    RefreshModes();
    sent_->setText(SentDefault());
}

void QsoEntryLine::ClearEntry() {
    ClearQso();
    checked_.reset();
    // Whatever the line said about the last call is stale now.
    result_->clear();
    UpdatePreview();
}

void QsoEntryLine::ForgetLoggedQso() {
    if (call_->text().trimmed().isEmpty())
        result_->clear();
    else
        UpdatePreview();
}

void QsoEntryLine::ShowResult(const QString& text, const QColor& colour) {
    result_->setText(text);
    QPalette p = result_->palette();
    p.setColor(QPalette::WindowText, colour);
    result_->setPalette(p);
}

QString QsoEntryLine::OffBandWords() const {
    return band_->placeholderText() == QLatin1String("not a contest band")
               ? QStringLiteral("Not a contest band")
               : QStringLiteral("Out of band");
}

void QsoEntryLine::WipeEntry() {
    ClearEntry();
    sentTyped_ = false;
    sent_->setText(SentDefault());
    result_->clear();
}

void QsoEntryLine::StepBand(int step) {
    const int count = band_->count();
    if (count == 0)
        return;
    const int at = band_->currentIndex();
    // Out of band, a step lands on the lowest or the highest band.
    const int next = at < 0 ? (step > 0 ? 0 : count - 1) : std::clamp(at + step, 0, count - 1);
    band_->setCurrentIndex(next);
    call_->setFocus();
}

void QsoEntryLine::NextMode() {
    if (mode_->count() > 0)
        mode_->setCurrentIndex((mode_->currentIndex() + 1) % mode_->count());
    call_->setFocus();
}

void QsoEntryLine::SetStation(const StationSettings& station) {
    station_ = station;
    if (!sentTyped_)
        sent_->setText(SentDefault());
}

void QsoEntryLine::RefreshModes() {
    const QString current = mode_->currentText();
    QStringList modes = {QStringLiteral("CW"), QStringLiteral("SSB")};
    for (const QString& m : log_.Modes())
        if (!modes.contains(m))
            modes << m;
    // One the rig is in, not logged yet, stays.
    if (!current.isEmpty() && !modes.contains(current))
        modes << current;
    const QSignalBlocker block(mode_);
    mode_->clear();
    mode_->addItems(modes);
    mode_->setCurrentText(current.isEmpty() ? modes.first() : current);
}

QString QsoEntryLine::SentDefault() const {
    QString text = DefaultReport(mode_->currentText());
    if (serials_ && station_.dxccPrefix != QLatin1String("YO")) {
        // A station outside YO sends the QSO's serial, never a fixed text.
        if (const auto next = serials_->Next())
            text += QLatin1Char(' ') + StoredSerial(*next);
        return text;
    }
    if (!station_.sentExchange.isEmpty())
        text += QLatin1Char(' ') + station_.sentExchange;
    return text;
}

QsoRow QsoEntryLine::CurrentQso() const {
    QsoRow q;
    q.call = call_->text().trimmed().toUpper();
    q.band = band_->currentData().toString();
    q.frequency = rig_.FrequencyFor(q.band);
    q.mode = mode_->currentText();
    q.received = received_->text().simplified().toUpper();
    q.sent = sent_->text().simplified().toUpper();
    q.position = station_.position;
    if (countries_)
        if (const auto m = countries_->Resolve(q.call.toStdString())) {
            q.dxccPrefix = QString::fromStdString(m->primaryPrefix);
            q.continent = QString::fromStdString(m->continent);
            q.mainPrefix = QString::fromStdString(m->matchedPrefix);
        }
    return q;
}

QString QsoEntryLine::ResultText() const {
    return result_->text();
}

QString QsoEntryLine::ResultWords(int result) {
    if (result < 0)
        return QStringLiteral("DUPE");
    if (result == 1)
        return QStringLiteral("1 point");
    return QStringLiteral("%1 points").arg(result);
}

void QsoEntryLine::CallEdited() {
    const int cursor = call_->cursorPosition();
    const QString upper = call_->text().toUpper();
    if (upper != call_->text()) {
        call_->setText(upper);
        call_->setCursorPosition(cursor);
    }
    // A call typed and taken back again leaves nothing to say.
    if (upper.trimmed().isEmpty())
        result_->clear();
    UpdatePreview();
    emit CallTyped(call_->text());
}

void QsoEntryLine::PutCall(const QString& call) {
    call_->setText(call.trimmed().toUpper());
    if (!receivedTyped_)
        received_->clear();
    checked_.reset();
    UpdatePreview();
    call_->setFocus();
}

void QsoEntryLine::SetLogExchanges(std::function<QString(const QsoRow&)> exchange,
                                   std::function<QString(const QsoRow&)> note) {
    logExchange_ = std::move(exchange);
    callNote_ = std::move(note);
}

void QsoEntryLine::ModeChanged() {
    if (!sentTyped_)
        sent_->setText(SentDefault());
    UpdatePreview();
}

void QsoEntryLine::UpdatePreview() {
    const QsoRow q = CurrentQso();
    if (q.call.isEmpty()) {
        country_->clear();
        return;
    }
    const QColor red(200, 0, 0);
    QString country =
        q.dxccPrefix.isEmpty()
            ? QStringLiteral("Country unknown")
            : QStringLiteral("%1  %2  %3")
                  .arg(QString::fromStdString(countries_->Resolve(q.call.toStdString())->entity),
                       q.dxccPrefix, q.continent);
    if (const QString note = callNote_ ? callNote_(q) : QString(); !note.isEmpty())
        country += QStringLiteral("  -  ") + note;
    country_->setText(country);
    if (q.band.isEmpty()) {
        ShowResult(OffBandWords(), red);
        return;
    }
    // Without the statistics window the module counts nothing and answers 0.
    const int score = session_.IsStarted() ? session_.Score(q) : 0;
    // Points for a call of no known country would be a guess: the module
    // scores it as if it were a country of its own. A dupe is a dupe still.
    const bool noPoints = score == 0 || (score > 0 && q.dxccPrefix.isEmpty());
    ShowResult(noPoints ? QString() : ResultWords(score), score < 0 ? red : QColor(0, 110, 0));
}

void QsoEntryLine::CallComplete() {
    const QsoRow q = CurrentQso();
    if (q.call.isEmpty() || receivedTyped_)
        return;
    // The module's exchange first, then the one the station sent earlier.
    QString exchange = session_.IsStarted() ? session_.GrabExchange(q).trimmed() : QString();
    if (exchange.isEmpty() && logExchange_)
        exchange = logExchange_(q).trimmed();
    if (exchange.isEmpty() && !session_.IsStarted())
        return;
    // What was filled in for an earlier call is replaced; what the operator
    // typed never is.
    received_->setText(exchange.isEmpty() ? QString()
                                          : DefaultReport(q.mode) + QLatin1Char(' ') + exchange);
}

void QsoEntryLine::SetSerialNumbers(SerialNumbers* serials) {
    serials_ = serials;
    if (serials_)
        connect(serials_, &SerialNumbers::Changed, this, [this] {
            if (!sentTyped_)
                sent_->setText(SentDefault());
        });
    if (!sentTyped_)
        sent_->setText(SentDefault());
}

QString QsoEntryLine::CallText() const {
    return call_->text().trimmed().toUpper();
}

QString QsoEntryLine::ReceivedText() const {
    return received_->text().simplified().toUpper();
}

QString QsoEntryLine::SentText() const {
    return sent_->text().simplified().toUpper();
}

QString QsoEntryLine::ModeText() const {
    return mode_->currentText();
}

void QsoEntryLine::FocusReceived() {
    received_->setFocus();
    received_->end(false);
}

bool QsoEntryLine::LogQso() {
    return ReadyToLog() && WriteQso();
}

bool QsoEntryLine::ReadyToLog() {
    const QsoRow q = CurrentQso();
    if (q.call.isEmpty())
        return false;
    if (!LooksLikeCallSign(q.call)) {
        result_->setText(QStringLiteral("Not a call sign"));
        call_->setFocus();
        return false;
    }
    if (q.band.isEmpty()) {
        // Contests are held on the six contest bands only: the operator
        // picks one.
        ShowResult(OffBandWords() + QStringLiteral(": pick a band"), QColor(200, 0, 0));
        return false;
    }
    if (q.received.isEmpty() && !receivedTyped_) {
        CallComplete();
        if (!received_->text().isEmpty()) {
            // The operator should see the exchange before it is logged.
            received_->setFocus();
            result_->setText(QStringLiteral("Check the exchange; Enter logs"));
            return false;
        }
    }
    // The rig's frequency may move between the two Enters; the QSO is the same.
    QsoRow judged = q;
    judged.frequency.clear();
    if (const auto findings = check_.Check(q); !findings.empty() && checked_ != judged) {
        QStringList texts;
        for (const QsoFinding& f : findings)
            texts << f.text;
        ShowResult(texts.join(QStringLiteral("; ")) + QStringLiteral(". Enter logs anyway"),
                   QColor(200, 0, 0));
        checked_ = judged;
        return false;
    }
    checked_.reset();
    return true;
}

bool QsoEntryLine::WriteQso() {
    QsoRow q = CurrentQso();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    q.date = now.date().toString(QStringLiteral("yyyy-MM-dd"));
    q.time = now.time().toString(QStringLiteral("HH:mm:ss"));

    QString error;
    const EntryLogger::Outcome outcome = logger_->Log(q, &error);
    if (outcome == EntryLogger::Outcome::Failed) {
        zelmar::ReportError(
            QStringLiteral("The QSO with %1 was not logged: %2").arg(q.call, error));
        return false;
    }
    if (serials_)
        if (const int serial = SerialIn(q.sent); serial > 0)
            serials_->Used(serial);
    // A report or number typed for this QSO is not the next one's.
    sentTyped_ = false;
    sent_->setText(SentDefault());
    if (outcome == EntryLogger::Outcome::Held)
        ShowResult(QStringLiteral("%1 is logged as soon as the recount ends").arg(q.call),
                   palette().color(QPalette::WindowText));
    ClearQso();
    return true;
}

void QsoEntryLine::WasLogged(const QsoRow& q, int result, qint64 id) {
    const bool scored = session_.IsStarted() && (result < 0 || !q.dxccPrefix.isEmpty());
    ShowResult(scored ? QStringLiteral("Logged %1: %2").arg(q.call, ResultWords(result))
                      : QStringLiteral("Logged %1").arg(q.call),
               palette().color(QPalette::WindowText));
    if (mode_->findText(q.mode) < 0)
        RefreshModes();
    emit Logged(q, result, id);
}

void QsoEntryLine::FollowRig(const RigState& state) {
    const RigFollower::Change change = rig_.Follow(state);
    if (change.band) {
        // A WARC band is a band, but no contest is held there.
        band_->setPlaceholderText(change.band->isEmpty() ? QStringLiteral("out of band")
                                                         : QStringLiteral("not a contest band"));
        band_->setCurrentIndex(band_->findData(*change.band));
        UpdatePreview();
    }
    if (change.mode) {
        if (mode_->findText(*change.mode) < 0)
            mode_->addItem(*change.mode);
        mode_->setCurrentText(*change.mode);
    }
}

void QsoEntryLine::ClearQso() {
    call_->clear();
    received_->clear();
    country_->clear();
    receivedTyped_ = false;
    call_->setFocus();
    emit CallTyped(QString());
}

bool QsoEntryLine::eventFilter(QObject* watched, QEvent* event) {
    if (watched == call_) {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
            CallComplete();
            received_->setFocus();
            received_->end(false);
            return true;
        }
        if (event->type() == QEvent::FocusOut)
            CallComplete();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qarvel
