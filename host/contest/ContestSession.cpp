#include "contest/ContestSession.h"

#include "plugin/ShortText.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace qarvel {

namespace {

constexpr const char* kContestKind = "qarvel_contest";

void Write(zelmar::ShortText& slot, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    zelmar::WriteShortText(
        slot, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

QWidget* TopLevel(const char* objectName) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(objectName))
            return w;
    return nullptr;
}

} // namespace

ContestSession::ContestSession() {
    base_.Connection = kConnection;
}

ContestSession::~ContestSession() {
    Shutdown();
}

QString ContestSession::ConnectionName() {
    return QStringLiteral("qarvel-log-%1").arg(kConnection);
}

bool ContestSession::Load(const QString& folder, QString* error) {
    host_.LoadFolder(folder);
    contest_ = host_.FindKind(QLatin1String(kContestKind));
    if (contest_)
        return true;
    if (error) {
        *error = QStringLiteral("No contest module in %1").arg(folder);
        if (!host_.Problems().isEmpty())
            *error += QStringLiteral(": ") + host_.Problems().join(QStringLiteral("; "));
    }
    return false;
}

QString ContestSession::Title() const {
    return contest_ ? contest_->title : QString();
}

void ContestSession::SetStation(const StationSettings& station, const QString& table) {
    Write(base_.TableName, table);
    Write(base_.CaptionName, station.logName);
    Write(base_.MyContinent, station.continent);
    Write(base_.MyDXCCPrefix, station.dxccPrefix);
}

zelmar::TPluginRecord ContestSession::RecordFor(const QsoRow& qso) const {
    zelmar::TPluginRecord r = base_;
    Write(r.CallSign, qso.call);
    Write(r.DigiBand, qso.band);
    Write(r.QSOMode, qso.mode);
    Write(r.Continent, qso.continent);
    Write(r.QSOReportRecived, qso.received);
    Write(r.DXCCPrefix, qso.dxccPrefix);
    Write(r.MainPrefix, qso.mainPrefix);
    return r;
}

bool ContestSession::Start() {
    if (!contest_)
        return false;
    const zelmar::TPluginRecord record = base_;
    return contest_->Run(0, &record) != 0;
}

void ContestSession::HandOverStation() {
    if (contest_)
        Score(QsoRow{});
}

bool ContestSession::IsStarted() const {
    return contest_ && StatisticsWindow();
}

int ContestSession::Score(const QsoRow& qso) {
    if (!contest_)
        return 0;
    const zelmar::TPluginRecord r = RecordFor(qso);
    return contest_->GetScore(&r);
}

int ContestSession::Add(const QsoRow& qso) {
    if (!contest_)
        return 0;
    const zelmar::TPluginRecord r = RecordFor(qso);
    return contest_->AddQSO(&r);
}

QString ContestSession::GrabExchange(const QsoRow& qso) {
    if (!contest_)
        return {};
    const zelmar::TPluginRecord r = RecordFor(qso);
    zelmar::ShortText receiving{};
    contest_->GrabNumber(&r, reinterpret_cast<unsigned char*>(&receiving));
    return QString::fromLocal8Bit(receiving.chars, receiving.length);
}

QAction* ContestSession::RecalcAction() const {
    QWidget* w = StatisticsWindow();
    return w ? w->findChild<QAction*>(QStringLiteral("RecalcStatistic")) : nullptr;
}

bool ContestSession::Replaying() const {
    const QAction* recalc = RecalcAction();
    return recalc && !recalc->isEnabled();
}

QWidget* ContestSession::StatisticsWindow() const {
    return contest_ ? TopLevel("fmMainForm") : nullptr;
}

QWidget* ContestSession::MultipliersWindow() const {
    if (!contest_)
        return nullptr;
    if (QWidget* w = TopLevel("fmDomList"))
        return w;
    // Found by its class too, while the window may not carry its design name.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (QLatin1String(w->metaObject()->className()).endsWith(QLatin1String("TfmDomList")))
            return w;
    return nullptr;
}

bool ContestSession::Recalc() {
    QWidget* w = StatisticsWindow();
    if (!w)
        return false;
    if (auto* button = w->findChild<QPushButton*>(QStringLiteral("RzBitBtn1"))) {
        button->click();
        return true;
    }
    if (auto* action = w->findChild<QAction*>(QStringLiteral("RecalcStatistic"))) {
        action->trigger();
        return true;
    }
    return false;
}

bool ContestSession::OpenMultipliers() {
    QWidget* w = StatisticsWindow();
    auto* button = w ? w->findChild<QPushButton*>(QStringLiteral("RzBitBtn2")) : nullptr;
    if (!button)
        return false;
    button->click();
    return true;
}

QString ContestSession::ScoreLineText() const {
    QWidget* w = StatisticsWindow();
    auto* label = w ? w->findChild<QLabel*>(QStringLiteral("Label1")) : nullptr;
    return label ? label->text() : QString();
}

std::vector<QStringList> ContestSession::GridRows() const {
    std::vector<QStringList> rows;
    QWidget* w = StatisticsWindow();
    auto* grid = w ? w->findChild<QAbstractItemView*>(QStringLiteral("StringGrid1")) : nullptr;
    const QAbstractItemModel* model = grid ? grid->model() : nullptr;
    if (!model)
        return rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->data(model->index(r, c), Qt::DisplayRole).toString();
        rows.push_back(cells);
    }
    return rows;
}

void ContestSession::Shutdown() {
    contest_ = nullptr;
    host_.ReleaseAll();
}

} // namespace qarvel
