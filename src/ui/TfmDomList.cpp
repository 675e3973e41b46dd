#include "TfmDomList.h"

#include "BusyScope.h"
#include "ErrorReporter.h"
#include "TBandButton.h"
#include "TCountyItem.h"
#include "TCountyItemDelegate.h"
#include "TFormStorage.h"
#include "TfmMainForm.h"
#include "plugin/ModuleReferences.h"
#include "scoring/BandNames.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <string>

namespace zelmar {

namespace {

// The stored value of the statistics window that holds the chosen band.
const QString kCurrentBand = QStringLiteral("CurrentBand");

QString BandText(std::int32_t n) {
    const std::string_view text = BandNames[static_cast<std::size_t>(n)];
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Removes leading and trailing characters with codes 0 to 32 (and no other
// white space).
QString TrimControls(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 32)
        ++first;
    while (last > first && text[last - 1].unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}

// The caption a county table line gives: the trimmed text of at most four
// characters after its first "="; false for a line without "=".
bool CountyCaption(const std::string& line, QString& caption) {
    const std::size_t p = line.find('=');
    if (p == std::string::npos)
        return false;
    const QString rest =
        QString::fromLocal8Bit(line.data() + p + 1, static_cast<qsizetype>(line.size() - p - 1));
    caption = TrimControls(rest.left(4));
    return true;
}

struct TBandButtonDesign {
    int number;
    int left;
};

// The designed buttons in their creation order: "10" comes last, so the
// layout, which follows the bar's own order, puts it at the right end.
constexpr TBandButtonDesign kBandButtons[] = {{1, -1},  {2, 34},  {3, 69},  {5, 140}, {6, 175},
                                              {7, 210}, {8, 245}, {9, 280}, {4, 105}};

} // namespace

TfmDomList::TfmDomList(TfmMainForm* owner)
    : QWidget(owner, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                         Qt::WindowCloseButtonHint),
      owner_(owner) {
    BuildDesign();
    FormCreate();
}

TfmDomList::~TfmDomList() {
    // Gone with the statistics window (or without a close): the placement is
    // saved now. Nothing of the owner is touched, it is being destroyed.
    if (FormStorage1 && !FormStorage1->Saved())
        FormStorage1->Save(true);
    if (MultipliersWindow() == this)
        MultipliersWindow() = nullptr;
}

void TfmDomList::BuildDesign() {
    setObjectName(QStringLiteral("fmDomList"));
    setWindowTitle(QStringLiteral("Multipliers"));
    QFont designFont = font();
    designFont.setPixelSize(11);
    setFont(designFont);

    FormStorage1 = new TFormStorage(this);
    // Position and size only; the chosen band is the statistics window's.
    FormStorage1->SetSection(QStringLiteral("TfmDomList"));
    FormStorage1->SetPlacementKept(TFormStorage::TPlacementKept::PositionOnly);

    LV1 = new QListWidget(this);
    LV1->setObjectName(QStringLiteral("LV1"));
    LV1->setViewMode(QListView::ListMode);
    LV1->setFlow(QListView::TopToBottom);
    LV1->setWrapping(true);
    LV1->setResizeMode(QListView::Adjust);
    LV1->setFrameShape(QFrame::NoFrame);
    LV1->setSortingEnabled(true);
    LV1->setSelectionMode(QAbstractItemView::NoSelection);
    LV1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LV1->setFocusPolicy(Qt::ClickFocus);
    delegate_ = new TCountyItemDelegate(
        LV1, [this](QListWidgetItem* item, QStyleOptionViewItem& canvas, bool& defaultDraw) {
            LV1CustomDrawItem(LV1, item, canvas, defaultDraw);
        });
    LV1->setItemDelegate(delegate_);

    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameShape(QFrame::NoFrame);
    Panel2->setFixedHeight(18);
    Panel2->installEventFilter(this);

    bandGroup_ = new QButtonGroup(this);
    bandGroup_->setExclusive(true);
    TBandButton** fields[] = {nullptr,    &RzBitBtn1, &RzBitBtn2, &RzBitBtn3, &RzBitBtn4,
                              &RzBitBtn5, &RzBitBtn6, &RzBitBtn7, &RzBitBtn8, &RzBitBtn9};
    for (const TBandButtonDesign& design : kBandButtons) {
        auto* button = new TBandButton(design.number, BandText(design.number), Panel2);
        button->setObjectName(QStringLiteral("RzBitBtn%1").arg(design.number));
        button->setGeometry(design.left, -1, 35, 19);
        // Button "10" is drawn plain: no dither while down, no focus frame.
        button->SetDownPattern(design.number != 4);
        button->SetFocusRectangle(design.number != 4);
        bandGroup_->addButton(button, design.number);
        connect(button, &QAbstractButton::clicked, this,
                [this, button] { RzBitBtn1Click(button); });
        connect(button, &TBandButton::EnterPressed, this,
                [this, button] { RzBitBtn1Click(button); });
        *fields[design.number] = button;
        bandButtons_[static_cast<std::size_t>(design.number)] = button;
    }
    RzBitBtn4->setChecked(true);

    spl1 = new QFrame(this);
    spl1->setObjectName(QStringLiteral("spl1"));
    spl1->setFrameShape(QFrame::NoFrame);
    spl1->setFixedHeight(3);
    spl1->setCursor(Qt::SizeVerCursor);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel2);
    layout->addWidget(LV1, 1);
    layout->addWidget(spl1);

    resize(327, 141);
    move(1020, 164);
    // As the platform does for any resizable window: never larger than the
    // screens it could be shown on, whatever size a stored placement asks.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setMaximumSize(screen->virtualSize());
}

void TfmDomList::FormCreate() {
    // Qt composes every widget in its window's backing store: each redraw of
    // the list is built off the screen and shown at once.
    LV1->viewport()->setAttribute(Qt::WA_PaintOnScreen, false);
    LV1->clear();
    if (TContestScorer* scorer = owner_->Scorer()) {
        for (const std::string& line : scorer->Tables().DomTable()) {
            QString caption;
            if (CountyCaption(line, caption))
                LV1->addItem(new TCountyItem(caption));
        }
    }
    LV1->doItemsLayout();
}

void TfmDomList::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Restoring from the task bar is a spontaneous show: nothing to choose.
    if (event->spontaneous())
        return;
    const TBusyScope busy;
    FormStorage1->Restore();
    try {
        FormShow();
    } catch (const std::exception& e) {
        ReportError(QString::fromLocal8Bit(e.what()));
    }
}

void TfmDomList::FormShow() {
    bool isNumber = false;
    std::int32_t n = 0;
    if (TFormStorage* storage = owner_->FormStorage())
        n = storage->StoredValue(kCurrentBand).toInt(&isNumber);
    // A stored text that is no number counts as no band chosen yet.
    if (!isNumber)
        n = 0;
    SelectBand(n);
}

void TfmDomList::SelectBand(std::int32_t n) {
    // The part named "RzBitBtn" + n, in any case, is the button numbered n;
    // every recorded QSO comes here, so no search through the parts.
    if (n >= 1 && n <= 9)
        bandButtons_[static_cast<std::size_t>(n)]->setChecked(true);
    if (n >= 1 && n <= 9)
        currentBandText_ = BandText(n);
    // One repaint per turn of the event loop however many QSOs a replay
    // records in between; the operator still sees the band of the last.
    LV1->viewport()->update();
    if (TFormStorage* storage = owner_->FormStorage())
        storage->SetStoredValue(kCurrentBand, n);
}

void TfmDomList::RzBitBtn1Click(QObject* sender) {
    const TBusyScope busy;
    if (auto* button = qobject_cast<TBandButton*>(sender))
        SelectBand(button->Number());
}

void TfmDomList::LV1CustomDrawItem(QListWidget* sender, QListWidgetItem* item,
                                   QStyleOptionViewItem& canvas, bool& /*defaultDraw*/) {
    if (!item)
        return;
    canvas.font = sender->font();
    canvas.palette.setColor(QPalette::Text, sender->palette().color(QPalette::Text));

    // After the statistics window has closed its scoring there is nothing
    // worked to show.
    TContestScorer* scorer = owner_->Scorer();
    if (!scorer)
        return;
    const QByteArray search =
        (currentBandText_ + QLatin1Char('|') + item->text() + QLatin1Char('|')).toLocal8Bit();
    const std::string_view s(search.constData(), static_cast<std::size_t>(search.size()));
    for (const std::string& key : scorer->DomWorked().Keys()) {
        if (key.find(s) != std::string::npos) {
            canvas.palette.setColor(QPalette::Text, QColor(255, 0, 0));
            canvas.font.setBold(true);
            return;
        }
        canvas.palette.setColor(QPalette::Text, QColor(0, 0, 0));
    }
}

bool TfmDomList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel2 && event->type() == QEvent::Resize)
        Panel2Resize(Panel2);
    return QWidget::eventFilter(watched, event);
}

void TfmDomList::Panel2Resize(QObject* sender) {
    auto* bar = qobject_cast<QWidget*>(sender);
    if (!bar || bar->children().isEmpty() || bar->width() == 0)
        return;
    QList<TBandButton*> buttons;
    for (QObject* child : bar->children())
        if (auto* button = qobject_cast<TBandButton*>(child))
            buttons.append(button);
    const int n = static_cast<int>(buttons.size());
    if (n == 0)
        return;
    const int w = bar->width() / n;
    const int h = bar->height() - 1;
    for (int j = 0; j < n; ++j)
        buttons[j]->setGeometry(j * w, 0, w, h);
    // The last takes the remainder and stops 4 pixels short of the edge; on
    // a bar narrower than that it shrinks to nothing.
    buttons.last()->resize(std::max(0, bar->width() - (n - 1) * w - 4), h);
}

void TfmDomList::closeEvent(QCloseEvent* event) {
    const TBusyScope busy;
    FormStorage1->Save(false);
    FormClose();
    event->accept();
}

void TfmDomList::FormClose() {
    DestroyWhenIdle(this);
    MultipliersWindow() = nullptr;
}

} // namespace zelmar
