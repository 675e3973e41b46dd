#include "TfmMainForm.h"

#include "ErrorReporter.h"
#include "HostFolder.h"
#include "SqlLogQuery.h"
#include "TFormStorage.h"
#include "TfmDomList.h"
#include "plugin/CurrentRecord.h"
#include "plugin/ModuleReferences.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include <exception>

namespace zelmar {

namespace {

QString FromBytes(const std::string& bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

constexpr int kColumns = 5;
constexpr int kRows = 8;
const char* const kHeaderTexts[kColumns] = {"Band", "QSOs", "Points", "Multipliers", "DXCC"};
const char* const kRowLabels[kRows - 1] = {"160", "80", "40", "20", "15", "10", "Total"};

} // namespace

TfmMainForm::TfmMainForm(const TPluginRecord* hostRecord, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    BuildDesign();
    CopyInRecord(hostRecord);
    setWindowTitle(FromBytes(ReadShortText(CurrentRecord().CaptionName)) +
                   QStringLiteral(" in Zelmar Contest"));
    scorer_ = std::make_unique<TContestScorer>([]() -> TBandFollower* {
        return MultipliersWindow().data();
    });
    LogQuery->Attach(CurrentRecord().Connection);
    scorer_->Tables().Load(HostFolder());
}

TfmMainForm::~TfmMainForm() {
    if (FormStorage1 && !FormStorage1->Saved())
        FormStorage1->Save(true);
}

void TfmMainForm::BuildDesign() {
    setObjectName(QStringLiteral("fmMainForm"));
    LogQuery = new TSqlLogQuery(this);
    FormStorage1 = new TFormStorage(this);

    RecalcStatistic = new QAction(QStringLiteral("Recalc Statistic"), this);
    RecalcStatistic->setObjectName(QStringLiteral("RecalcStatistic"));
    connect(RecalcStatistic, &QAction::triggered, this, [this] { RecalcStatisticExecute(); });

    setFixedSize(328, 193);
    move(1024, 233);

    StringGrid1 = new QTableWidget(kRows, kColumns, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setGeometry(0, 0, 328, 149);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    StringGrid1->setFocusPolicy(Qt::NoFocus);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            StringGrid1->setItem(r, c, new QTableWidgetItem);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 149, 328, 44);

    Label1 = new QLabel(Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 0);

    RzBitBtn1 = new QPushButton(QStringLiteral("Recalc"), Panel1);
    RzBitBtn1->setObjectName(QStringLiteral("RzBitBtn1"));
    RzBitBtn1->setGeometry(120, 18, 102, 25);
    connect(RzBitBtn1, &QPushButton::clicked, this, [this] { RecalcStatisticExecute(); });

    RzBitBtn2 = new QPushButton(QStringLiteral("Multipliers"), Panel1);
    RzBitBtn2->setObjectName(QStringLiteral("RzBitBtn2"));
    RzBitBtn2->setGeometry(224, 18, 102, 25);
    connect(RzBitBtn2, &QPushButton::clicked, this, [this] { btnOBL1Click(); });
}

void TfmMainForm::SetCell(int column, int row, const std::string& text) {
    if (QTableWidgetItem* item = StringGrid1->item(row, column))
        item->setText(FromBytes(text));
}

void TfmMainForm::ClearFigures() {
    for (int r = 1; r < kRows; ++r)
        for (int c = 1; c < kColumns; ++c)
            StringGrid1->item(r, c)->setText(QString());
}

void TfmMainForm::SetScoreLine(const std::string& text) {
    Label1->setText(FromBytes(text));
    Label1->adjustSize();
}

void TfmMainForm::ProcessMessages() { QCoreApplication::processEvents(); }

void TfmMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Un-minimising is a spontaneous show from the window system: no show.
    if (event->spontaneous())
        return;
    FormStorage1->Restore();
    try {
        FormShow();
    } catch (const std::exception& e) {
        ReportError(QString::fromLocal8Bit(e.what()));
    }
}

void TfmMainForm::FormShow() {
    for (int c = 0; c < kColumns; ++c)
        StringGrid1->item(0, c)->setText(QString::fromLatin1(kHeaderTexts[c]));
    for (int r = 1; r < kRows; ++r)
        StringGrid1->item(r, 0)->setText(QString::fromLatin1(kRowLabels[r - 1]));
    if (RecalcStatistic->isEnabled())
        RecalcStatisticExecute();
}

void TfmMainForm::RecalcStatisticExecute() {
    ProcessMessages();
    if (!scorer_)
        return;
    RecalcStatistic->setEnabled(false);
    struct Reenable {
        QAction* action;
        ~Reenable() { action->setEnabled(true); }
    } reenable{RecalcStatistic};
    scorer_->RecalcFromLog(*LogQuery, *this, *this);
    scorer_->ShowStatistic(*this);
}

void TfmMainForm::btnOBL1Click() {
    if (MultipliersWindow())
        return;
    auto* window = new TfmDomList(this);
    MultipliersWindow() = window;
    window->show();
}

void TfmMainForm::ShowDXList() {
    if (scorer_)
        scorer_->ShowDXList();
}

void TfmMainForm::closeEvent(QCloseEvent* event) {
    // The close box minimises: scoring goes on until the host releases us.
    if (event->spontaneous()) {
        event->ignore();
        showMinimized();
        return;
    }
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose) {
        event->ignore();
        return;
    }
    FormStorage1->Save(false);
    FormClose();
    event->accept();
}

void TfmMainForm::FormCloseQuery(bool& /*canClose*/) {
    LogQuery->Close();
    scorer_.reset();
}

void TfmMainForm::FormClose() {
    deleteLater();
    CurrentWindow() = nullptr;
}

} // namespace zelmar
