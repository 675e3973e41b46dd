#include "windows/QsoEntryLine.h"

#include "reference/BandPlan.h"
#include "reference/CallSignText.h"
#include "contest/ContestSession.h"
#include "reference/CountryFile.h"
#include "contest/EntryLogger.h"
#include "logbook/LogBook.h"
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

    call_ = Field(this, "EntryCall", 140);
    band_ = new QComboBox(this);
    band_->setObjectName(QStringLiteral("EntryBand"));
    band_->addItems(BandTexts());
    band_->setCurrentText(QStringLiteral("14"));
    // Shown while the rig is on none of the bands.
    band_->setPlaceholderText(QStringLiteral("out of band"));
    mode_ = new QComboBox(this);
    mode_->setObjectName(QStringLiteral("EntryMode"));
    received_ = Field(this, "EntryReceived", 120);
    sent_ = Field(this, "EntrySent", 100);
    country_ = new QLabel(this);
    country_->setObjectName(QStringLiteral("EntryCountry"));
    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("EntryResult"));
    QFont bold = result_->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    result_->setFont(bold);
    result_->setMinimumWidth(220);

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
    grid->setColumnStretch(5, 1);

    call_->installEventFilter(this);
    connect(call_, &QLineEdit::textEdited, this, &QsoEntryLine::CallEdited);
    connect(received_, &QLineEdit::textEdited, this, [this] { receivedTyped_ = true; });
    connect(sent_, &QLineEdit::textEdited, this, [this] { sentTyped_ = true; });
    connect(band_, &QComboBox::currentTextChanged, this, &QsoEntryLine::UpdatePreview);
    connect(mode_, &QComboBox::currentTextChanged, this, &QsoEntryLine::ModeChanged);
    for (QLineEdit* e : {call_, received_, sent_})
        connect(e, &QLineEdit::returnPressed, this, [this] { LogQso(); });

    // Whoever gives the line the focus gives it to the call.
    setFocusProxy(call_);
    auto key = [this](const QString& text, const QKeySequence& keys, auto slot) {
        auto* a = new QAction(text, this);
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
    };
    key(QStringLiteral("Clear the call and the exchange"), QKeySequence(Qt::Key_Escape),
        [this] { ClearEntry(); });
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
    UpdatePreview();
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
    if (!station_.sentExchange.isEmpty())
        text += QLatin1Char(' ') + station_.sentExchange;
    return text;
}

QsoRow QsoEntryLine::CurrentQso() const {
    QsoRow q;
    q.call = call_->text().trimmed().toUpper();
    q.band = band_->currentText();
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
    UpdatePreview();
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
    country_->setText(
        q.dxccPrefix.isEmpty()
            ? QStringLiteral("Country unknown")
            : QStringLiteral("%1  %2  %3")
                  .arg(QString::fromStdString(countries_->Resolve(q.call.toStdString())->entity),
                       q.dxccPrefix, q.continent));
    if (q.band.isEmpty()) {
        result_->setText(QStringLiteral("Out of band"));
        return;
    }
    // Without the statistics window the module counts nothing and answers 0.
    const int score = session_.IsStarted() ? session_.Score(q) : 0;
    result_->setText(score == 0 ? QString() : ResultWords(score));
    QPalette p = result_->palette();
    p.setColor(QPalette::WindowText, score < 0 ? QColor(200, 0, 0) : QColor(0, 110, 0));
    result_->setPalette(p);
}

void QsoEntryLine::CallComplete() {
    const QsoRow q = CurrentQso();
    if (q.call.isEmpty() || receivedTyped_ || !session_.IsStarted())
        return;
    const QString exchange = session_.GrabExchange(q).trimmed();
    // What was filled in for an earlier call is replaced; what the operator
    // typed never is.
    received_->setText(exchange.isEmpty() ? QString()
                                          : DefaultReport(q.mode) + QLatin1Char(' ') + exchange);
}

bool QsoEntryLine::LogQso() {
    QsoRow q = CurrentQso();
    if (q.call.isEmpty())
        return false;
    if (!LooksLikeCallSign(q.call)) {
        result_->setText(QStringLiteral("Not a call sign"));
        call_->setFocus();
        return false;
    }
    if (q.band.isEmpty()) {
        // The module scores the nine bands only: the operator picks one.
        result_->setText(QStringLiteral("Out of band: pick a band"));
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
        result_->setText(texts.join(QStringLiteral("; ")) + QStringLiteral(". Enter logs anyway"));
        QPalette p = result_->palette();
        p.setColor(QPalette::WindowText, QColor(200, 0, 0));
        result_->setPalette(p);
        checked_ = judged;
        return false;
    }
    checked_.reset();
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
    if (outcome == EntryLogger::Outcome::Held)
        result_->setText(QStringLiteral("%1 is logged as soon as the recount ends").arg(q.call));
    ClearQso();
    return true;
}

void QsoEntryLine::WasLogged(const QsoRow& q, int result, qint64 id) {
    result_->setText(session_.IsStarted()
                         ? QStringLiteral("Logged %1: %2").arg(q.call, ResultWords(result))
                         : QStringLiteral("Logged %1").arg(q.call));
    if (mode_->findText(q.mode) < 0)
        RefreshModes();
    emit Logged(q, result, id);
}

void QsoEntryLine::FollowRig(const RigState& state) {
    const RigFollower::Change change = rig_.Follow(state);
    if (change.band) {
        if (change.band->isEmpty())
            band_->setCurrentIndex(-1);
        else
            band_->setCurrentText(*change.band);
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
