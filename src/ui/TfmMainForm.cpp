#include "TfmMainForm.h"

#include "BusyScope.h"
#include "CellDrawDelegate.h"
#include "ErrorReporter.h"
#include "GlyphList.h"
#include "GridLineStyle.h"
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
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <exception>

namespace zelmar {

namespace {

QString FromBytes(const std::string& bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString ErrorText(const std::exception& e) {
    return QString::fromLocal8Bit(e.what());
}

const char* const kHeaderTexts[TfmMainForm::kColumns] = {"Band", "QSOs", "Points", "Multipliers",
                                                         "DXCC"};
const char* const kRowLabels[TfmMainForm::kRows - 1] = {"160", "80", "40",   "20",
                                                        "15",  "10", "Total"};

// Cells are 64 x 17 with a 1-pixel line after each; the line after the last
// column falls just outside the 324 pixels inside the border.
constexpr int kCellWidth = 64;
constexpr int kCellHeight = 17;
constexpr int kGridLine = 1;

const QColor kGridBackground(253, 255, 206);
const QColor kSilver(192, 192, 192);
const QColor kScoreLineBlue(0, 0, 255);

// The buttons' face with hot-tracking: a lighter face and a warm frame while
// the mouse is over them, a darker face while pressed.
const char* const kButtonStyle = "QPushButton {"
                                 " background-color: rgb(157, 157, 157);"
                                 " color: black;"
                                 " border: 1px solid rgb(96, 96, 96);"
                                 " border-radius: 2px;"
                                 " padding: 0px 4px; }"
                                 "QPushButton:focus { border: 1px solid black; }"
                                 "QPushButton:hover {"
                                 " background-color: rgb(190, 190, 190);"
                                 " border: 1px solid rgb(255, 160, 0); }"
                                 "QPushButton:pressed {"
                                 " background-color: rgb(128, 128, 128);"
                                 " border: 1px solid rgb(64, 64, 64); }";

QFont ScoreLineFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Courier"), QStringLiteral("Courier New"),
                      QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setBold(true);
    font.setPixelSize(13);
    return font;
}

bool IsInputEvent(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::FocusIn:
        return true;
    default:
        return false;
    }
}

} // namespace

TfmMainForm::TfmMainForm(const TPluginRecord* hostRecord, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    BuildDesign();
    CopyInRecord(hostRecord);
    setWindowTitle(FromBytes(ReadShortText(CurrentRecord().CaptionName)) +
                   QStringLiteral(" in Zelmar Contest"));
    // Only a multipliers window of its own: a released window still
    // replaying must not move the one of its successor.
    scorer_ = std::make_unique<TContestScorer>([this]() -> TBandFollower* {
        TfmDomList* window = MultipliersWindow().data();
        return window && window->parent() == this ? window : nullptr;
    });
    LogQuery->Attach(CurrentRecord().Connection);
    scorer_->Tables().Load(HostFolder());
}

TfmMainForm::~TfmMainForm() {
    // The multipliers window works on this window's state and stored values
    // to its last moment: it goes while they are all still there. Its save
    // may show an error box, so the list holds no window that went meanwhile.
    QList<QPointer<TfmDomList>> windows;
    for (TfmDomList* window : findChildren<TfmDomList*>(Qt::FindDirectChildrenOnly))
        windows << window;
    for (const QPointer<TfmDomList>& window : windows)
        delete window.data();
    if (FormStorage1 && !FormStorage1->Saved())
        FormStorage1->Save(true);
}

QFont TfmMainForm::WindowFont() const {
    // "MS Sans Serif" 8 point: an 11-pixel character height at 96 dpi.
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

void TfmMainForm::BuildDesign() {
    setObjectName(QStringLiteral("fmMainForm"));
    setFixedSize(328, 193);
    move(1024, 233);
    setFont(WindowFont());

    LogQuery = new TSqlLogQuery(this);
    FormStorage1 = new TFormStorage(this);
    FormStorage1->SetSection(QStringLiteral("TfmMainForm"));
    FormStorage1->SetPlacementKept(TFormStorage::TPlacementKept::PositionAndState);
    FormStorage1->SetStoredValue(QStringLiteral("CurrentBand"), 0);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 149, 328, 44);
    Panel1->setFrameStyle(QFrame::NoFrame);
    Panel1->setAutoFillBackground(true);
    {
        QPalette palette = Panel1->palette();
        palette.setColor(QPalette::Window, kSilver);
        Panel1->setPalette(palette);
    }

    ActionList1 = new QObject(this);
    ActionList1->setObjectName(QStringLiteral("ActionList1"));
    RecalcStatistic = new QAction(QStringLiteral("Recalc Statistic"), ActionList1);
    RecalcStatistic->setObjectName(QStringLiteral("RecalcStatistic"));
    connect(RecalcStatistic, &QAction::triggered, this, [this] { RecalcReportingErrors(); });

    StringGrid1 = new QTableWidget(kRows, kColumns, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setGeometry(0, 0, 328, 149);
    StringGrid1->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    for (QHeaderView* header : {StringGrid1->horizontalHeader(), StringGrid1->verticalHeader()}) {
        header->hide();
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    StringGrid1->horizontalHeader()->setDefaultSectionSize(kCellWidth + kGridLine);
    StringGrid1->verticalHeader()->setDefaultSectionSize(kCellHeight + kGridLine);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    StringGrid1->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    StringGrid1->setAutoScroll(false);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    StringGrid1->setTabKeyNavigation(false);
    StringGrid1->setCornerButtonEnabled(false);
    StringGrid1->setWordWrap(false);
    StringGrid1->setShowGrid(true);
    StringGrid1->setGridStyle(Qt::SolidLine);
    // Kept enabled, so that the figures never turn grey and stay readable
    // to assistive tools; the input is refused by eventFilter instead.
    StringGrid1->setFocusPolicy(Qt::NoFocus);
    StringGrid1->viewport()->setFocusPolicy(Qt::NoFocus);
    StringGrid1->installEventFilter(this);
    StringGrid1->viewport()->installEventFilter(this);
    {
        QPalette palette = StringGrid1->palette();
        for (QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setColor(group, QPalette::Base, kGridBackground);
            palette.setColor(group, QPalette::Window, kGridBackground);
            palette.setColor(group, QPalette::Text, Qt::black);
            palette.setColor(group, QPalette::WindowText, Qt::black);
            // The sunken border.
            palette.setColor(group, QPalette::Dark, QColor(128, 128, 128));
            palette.setColor(group, QPalette::Shadow, QColor(64, 64, 64));
            palette.setColor(group, QPalette::Light, Qt::white);
            palette.setColor(group, QPalette::Midlight, QColor(227, 227, 227));
        }
        StringGrid1->setPalette(palette);
    }
    StringGrid1->setStyle(new TGridLineStyle(kSilver, StringGrid1));
    StringGrid1->setItemDelegate(new TCellDrawDelegate(
        [this](QPainter& canvas, int column, int row, const QRect& rect, QStyle::State state) {
            StringGrid1DrawCell(canvas, column, row, rect, state);
        },
        StringGrid1));
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled);
            StringGrid1->setItem(r, c, item);
        }
    StringGrid1->setAccessibleName(QStringLiteral("Band statistics"));

    Label1 = new QLabel(Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(ScoreLineFont());
    {
        QPalette palette = Label1->palette();
        palette.setColor(QPalette::WindowText, kScoreLineBlue);
        Label1->setPalette(palette);
    }
    Label1->setTextFormat(Qt::PlainText);
    Label1->move(8, 0);
    Label1->adjustSize();
    Label1->setAccessibleName(QStringLiteral("Score line"));

    RzBitBtn1 = new QPushButton(QStringLiteral("Recalc"), Panel1);
    RzBitBtn1->setObjectName(QStringLiteral("RzBitBtn1"));
    RzBitBtn1->setGeometry(120, 18, 102, 25);
    connect(RzBitBtn1, &QPushButton::clicked, this, [this] { RecalcReportingErrors(); });

    ImageList1 = new TGlyphList(this);

    RzBitBtn2 = new QPushButton(QStringLiteral("Multipliers"), Panel1);
    RzBitBtn2->setObjectName(QStringLiteral("RzBitBtn2"));
    RzBitBtn2->setGeometry(224, 18, 102, 25);
    connect(RzBitBtn2, &QPushButton::clicked, this, [this] {
        try {
            btnOBL1Click();
        } catch (const std::exception& e) {
            ReportError(ErrorText(e));
        }
    });

    const int glyphs[] = {TGlyphList::kCalculator, TGlyphList::kCards};
    QPushButton* buttons[] = {RzBitBtn1, RzBitBtn2};
    for (int i = 0; i < 2; ++i) {
        buttons[i]->setIcon(QIcon(ImageList1->Glyph(glyphs[i])));
        buttons[i]->setIconSize(QSize(TGlyphList::kGlyphSize, TGlyphList::kGlyphSize));
        buttons[i]->setAttribute(Qt::WA_Hover);
        buttons[i]->setStyleSheet(QString::fromLatin1(kButtonStyle));
        buttons[i]->setFocusPolicy(Qt::StrongFocus);
    }
    setTabOrder(RzBitBtn1, RzBitBtn2);
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
    const QString line = FromBytes(text);
    Label1->setText(line);
    Label1->adjustSize();
    // A screen reader reads a label's name: the line itself, which says
    // what it is ("Score: ...").
    Label1->setAccessibleName(line.isEmpty() ? QStringLiteral("Score line") : line);
}

void TfmMainForm::StringGrid1DrawCell(QPainter& canvas, int column, int row, const QRect& /*rect*/,
                                      QStyle::State /*state*/) {
    const QRect cell = StringGrid1->visualRect(StringGrid1->model()->index(row, column));
    if (!cell.isValid())
        return;
    // No cell of this grid is ever drawn as selected: every cell has the
    // grid's own colours, taken from the active group so that nothing greys.
    const QPalette& palette = StringGrid1->palette();
    canvas.fillRect(cell, palette.color(QPalette::Active, QPalette::Base));

    const QTableWidgetItem* item = StringGrid1->item(row, column);
    const QString text = item ? item->text() : QString();
    if (text.isEmpty())
        return;
    const QFont font = StringGrid1->font();
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(text);
    const int left = cell.left();
    const int right = cell.left() + cell.width(); // one past the last pixel
    // Each half is truncated on its own: 27 pixels in 64 start at 32 - 13.
    const int x = left + (right - left) / 2 - width / 2;
    canvas.setClipping(false);
    canvas.setFont(font);
    canvas.setPen(palette.color(QPalette::Active, QPalette::Text));
    canvas.setBackgroundMode(Qt::TransparentMode);
    canvas.drawText(QPoint(x, cell.top() + metrics.ascent()), text);
}

void TfmMainForm::ProcessMessages() {
    QCoreApplication::processEvents();
}

bool TfmMainForm::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == StringGrid1 || watched == StringGrid1->viewport()) &&
        IsInputEvent(event->type()))
        return true;
    return QWidget::eventFilter(watched, event);
}

void TfmMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Un-minimising is a spontaneous show from the window system: no show.
    if (event->spontaneous())
        return;
    const TBusyScope busy;
    try {
        FormStorage1->Restore();
        FormShow();
    } catch (const std::exception& e) {
        ReportError(ErrorText(e));
    }
}

void TfmMainForm::FormShow() {
    // The grid takes no input, so no cell is ever current or selected.
    StringGrid1->clearSelection();
    StringGrid1->setCurrentIndex(QModelIndex());
    for (int c = 0; c < kColumns; ++c)
        StringGrid1->item(0, c)->setText(QString::fromLatin1(kHeaderTexts[c]));
    for (int r = 1; r < kRows; ++r)
        StringGrid1->item(r, 0)->setText(QString::fromLatin1(kRowLabels[r - 1]));
    // As the action would: it runs only while enabled, so a show during a
    // recalculation starts no second one.
    if (RecalcStatistic->isEnabled())
        RecalcStatisticExecute();
}

void TfmMainForm::RecalcStatisticExecute() {
    const TBusyScope busy;
    // A click on "Recalc" handled at the replay's message pump: a second
    // replay must not run inside this one, which still reads the log query
    // and counts into the lists. It is deferred: one more recalculation runs
    // after this one, however many clicks came in.
    if (replaying_) {
        recalcPending_ = true;
        return;
    }

    class TRecalcScope {
    public:
        explicit TRecalcScope(TfmMainForm& form) : form_(form) { ++form_.recalcDepth_; }
        ~TRecalcScope() {
            if (started_) {
                form_.replaying_ = false;
                form_.RecalcStatistic->setEnabled(true);
            }
            --form_.recalcDepth_;
            form_.RunDeferred();
        }
        void StartReplay() {
            form_.RecalcStatistic->setEnabled(false);
            form_.replaying_ = true;
            started_ = true;
        }

    private:
        TfmMainForm& form_;
        bool started_ = false;
    } scope(*this);

    ProcessMessages();
    // The pump may have handled a close: then there is nothing to count into.
    if (!scorer_)
        return;
    scope.StartReplay();
    scorer_->RecalcFromLog(*LogQuery, *this, *this);
    scorer_->ShowStatistic(*this);
}

void TfmMainForm::RecalcReportingErrors() {
    try {
        RecalcStatisticExecute();
    } catch (const std::exception& e) {
        ReportError(ErrorText(e));
    }
}

void TfmMainForm::RunDeferred() noexcept {
    if (recalcDepth_ > 0)
        return;
    // A window on its way out neither closes nor counts again; a close of it
    // would empty the reference to its successor.
    if (going_)
        closePending_ = recalcPending_ = false;
    if (closePending_) {
        closePending_ = recalcPending_ = false;
        QTimer::singleShot(0, this, [this] { close(); });
        return;
    }
    if (recalcPending_) {
        recalcPending_ = false;
        QTimer::singleShot(0, this, [this] { RecalcReportingErrors(); });
    }
}

void TfmMainForm::btnOBL1Click() {
    const TBusyScope busy;
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

bool TfmMainForm::WMSysCommand(unsigned command) {
    if (command != kSC_CLOSE)
        return false;
    if (!isVisible())
        show();
    showMinimized();
    return true;
}

void TfmMainForm::closeEvent(QCloseEvent* event) {
    const TBusyScope busy;
    // The window system delivers the close box, the system menu's Close and
    // the keyboard's close command as a spontaneous close: they minimise, and
    // scoring goes on until the host releases us.
    if (event->spontaneous()) {
        event->ignore();
        WMSysCommand(kSC_CLOSE);
        return;
    }
    // The replay is still reading the log and counting into the state a
    // close would release: the close follows once the replay is over.
    if (replaying_) {
        closePending_ = true;
        event->ignore();
        return;
    }
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose) {
        event->ignore();
        return;
    }
    try {
        FormStorage1->Save(false);
    } catch (const std::exception& e) {
        // The state is released already: the close must go ahead regardless.
        ReportError(ErrorText(e));
    }
    FormClose();
    event->accept();
}

void TfmMainForm::FormCloseQuery(bool& /*canClose*/) {
    LogQuery->Close();
    // QSOList, StatList, DomWorked, DXCCWorked, the county-code matcher and
    // both tables go with the scorer.
    scorer_.reset();
}

void TfmMainForm::FormClose() {
    going_ = true;
    DestroyWhenIdle(this);
    if (CurrentWindow() == this)
        CurrentWindow() = nullptr;
}

void TfmMainForm::Release() {
    going_ = true;
    DestroyWhenIdle(this);
}

} // namespace zelmar
