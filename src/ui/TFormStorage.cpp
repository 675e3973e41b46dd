#include "TFormStorage.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "ErrorReporter.h"
#include "SettingsError.h"
#include "SettingsSection.h"

#include <QGuiApplication>
#include <QMargins>
#include <QRegion>
#include <QRegularExpression>
#include <QScreen>
#include <QStringList>
#include <QWidget>
#include <QWindow>
#include <array>

namespace zelmar {

namespace {

// Show states as the platform numbers them.
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;

QStringList Words(const QString& text) {
    static const QRegularExpression separators(QStringLiteral("[, \\t]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

std::optional<int> ToInt(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// The whole number of a text, or the fallback for a missing text or one
// that is not a number.
int ToInt(const std::optional<QString>& text, int fallback) {
    return text ? ToInt(*text).value_or(fallback) : fallback;
}

// Words 1 to 4 of a text as whole numbers; a missing or wrong word keeps its
// fallback.
std::array<int, 4> FourNumbers(const QString& text, std::array<int, 4> fallback) {
    const QStringList words = Words(text);
    for (qsizetype i = 0; i < 4 && i < words.size(); ++i)
        fallback[static_cast<std::size_t>(i)] =
            ToInt(words[i]).value_or(fallback[static_cast<std::size_t>(i)]);
    return fallback;
}

int ClampToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

QString FourNumbersText(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d) {
    return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

QScreen* PrimaryScreen() {
    return QGuiApplication::primaryScreen();
}

QSize ScreenSize() {
    const QSize size = PrimaryScreen() ? PrimaryScreen()->size() : QSize();
    // Without a screen there is nothing to cap at but a sane window size.
    return size.isValid() && !size.isEmpty() ? size : QSize(16384, 16384);
}

QString ScreenSizeText() {
    const QSize size = PrimaryScreen() ? PrimaryScreen()->size() : QSize();
    return QStringLiteral("(%1x%2)").arg(size.width()).arg(size.height());
}

int PixelsPerInch() {
    return PrimaryScreen() ? qRound(PrimaryScreen()->logicalDotsPerInch()) : 96;
}

// Qt knows a window's frame only once the window system has framed it;
// before that the margins are empty.
QMargins FrameMargins(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

// A window's frame where it stands. Until the window system has framed a
// window that was moved before, Qt's frame geometry is off by the frame,
// while its position is already the frame's.
QRect OuterFrame(const QWidget* window) {
    return {window->pos(), window->frameGeometry().size()};
}

// The entry for the current screen size, else the one for any size.
std::optional<QString> ReadForScreen(const TSettingsSection& store, const QString& name) {
    std::optional<QString> text = store.Read(name + ScreenSizeText());
    if (!text || text->isEmpty())
        text = store.Read(name);
    if (text && text->isEmpty())
        return std::nullopt;
    return text;
}

// The store went on with a fresh file: the operator learns where the old
// one is, and the window carries on as with any first run.
void ReportSetAside(const TSettingsSection& store) {
    if (const std::optional<QString>& notice = store.SetAsideNotice())
        ReportError(*notice);
}

} // namespace

TFormStorage::TFormStorage(QWidget* window) : QObject(window), window_(window) {
    setObjectName(QStringLiteral("FormStorage1"));
    window_->installEventFilter(this);
}

bool TFormStorage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
        case QEvent::WindowActivate:
            if (pendingOuterSize_ && window_->isVisible())
                ApplyPendingSize();
            if (recheckWhenFramed_ && window_->isVisible() && !FrameMargins(window_).isNull()) {
                recheckWhenFramed_ = false;
                BringOntoScreen();
            }
            if (window_->isVisible() &&
                !(window_->windowState() &
                  (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
                seenNormal_ = true;
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TFormStorage::NoteNormalFrame() {
    normalFrame_ = OuterFrame(window_);
}

QString TFormStorage::Section() const {
    if (!section_.isEmpty())
        return section_;
    const QString name = QString::fromLatin1(window_->metaObject()->className());
    return name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
}

QVariant TFormStorage::StoredValue(const QString& name) const {
    for (const auto& [n, v] : values_)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return v;
    return {};
}

void TFormStorage::SetStoredValue(const QString& name, const QVariant& value) {
    for (auto& [n, v] : values_)
        if (n.compare(name, Qt::CaseInsensitive) == 0) {
            v = value;
            return;
        }
    values_.append({name, value});
}

bool TFormStorage::Resizable() const {
    return window_->minimumSize() != window_->maximumSize();
}

QPoint TFormStorage::BorderDefault() const {
    // Minus the width of the side border and the height of the bottom one.
    const QMargins margins = FrameMargins(window_);
    return {-margins.left(), -margins.bottom()};
}

TFormStorage::TPlacement TFormStorage::CurrentPlacement() const {
    TPlacement placement;
    placement.flags = flags_;
    const Qt::WindowStates state = window_->windowState();
    placement.showCmd = state.testFlag(Qt::WindowMinimized)   ? kShowMinimized
                        : state.testFlag(Qt::WindowMaximized) ? kShowMaximized
                                                              : kShowNormal;
    placement.minPosition = minPosition_;
    placement.maxPosition = maxPosition_.value_or(BorderDefault());
    if (!(state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        placement.normal = OuterFrame(window_);
    else if (state.testFlag(Qt::WindowMaximized) && !seenNormal_ && normalFrame_)
        placement.normal = *normalFrame_;
    else
        placement.normal = window_->normalGeometry().marginsAdded(FrameMargins(window_));
    return placement;
}

void TFormStorage::ApplyPlacement(const TPlacement& placement) {
    flags_ = placement.flags;
    minPosition_ = placement.minPosition;
    maxPosition_ = placement.maxPosition;
    const QRect& outer = placement.normal;
    const QMargins margins = FrameMargins(window_);
    // A window system that frames a window only once it is on the screen
    // gives Qt no frame before: the stored outer size is then made good
    // when the frame is known, so that the window does not grow by its
    // frame from one run to the next.
    const bool framed = !margins.isNull();
    if (Resizable()) {
        window_->resize(outer.size().shrunkBy(margins));
        pendingOuterSize_ = framed ? std::nullopt : std::optional<QSize>(outer.size());
    }
    // The position of a window is that of its frame. Once the window exists
    // a move places its inside, unless the window system is asked to put
    // the frame there.
    window_->move(outer.topLeft());
    if (!framed && window_->windowHandle())
        window_->windowHandle()->setFramePosition(outer.topLeft());
}

void TFormStorage::ApplyPendingSize() {
    const QMargins margins = FrameMargins(window_);
    if (!pendingOuterSize_ || margins.isNull())
        return;
    const QSize outer = *pendingOuterSize_;
    pendingOuterSize_.reset();
    window_->resize(outer.shrunkBy(margins));
}

void TFormStorage::RestorePlacement(const TSettingsSection& store) {
    // Not visible yet: the show state of what is applied is "hidden", which
    // leaves the window's own state to the show.
    TPlacement placement = CurrentPlacement();
    placement.flags = ToInt(store.Read(QStringLiteral("Flags")), placement.flags);

    const std::optional<QString> minMax = ReadForScreen(store, QStringLiteral("MinMaxPos"));
    if (minMax) {
        const auto n = FourNumbers(*minMax, {0, 0, 0, 0});
        placement.minPosition = {n[0], n[1]};
        placement.maxPosition = {n[2], n[3]};
    }

    // The stored numbers are the file's, not ours: every sum and difference
    // is taken in 64 bits.
    const QRect current = placement.normal;
    const std::optional<QString> norm = ReadForScreen(store, QStringLiteral("NormPos"));
    std::int64_t left = current.left();
    std::int64_t top = current.top();
    std::int64_t right = left + current.width();
    std::int64_t bottom = top + current.height();
    if (norm) {
        const auto n = FourNumbers(*norm, {current.left(), current.top(), ClampToInt(right),
                                           ClampToInt(bottom)});
        left = n[0];
        top = n[1];
        right = n[2];
        bottom = n[3];
    }

    const int pixelsPerInch = PixelsPerInch();
    const int storedPixelsPerInch =
        ToInt(store.Read(QStringLiteral("PixelsPerInch")), pixelsPerInch);
    if ((!minMax && !norm) || storedPixelsPerInch != pixelsPerInch)
        return;

    // A window the operator cannot resize keeps the size it was built with.
    if (!Resizable()) {
        right = left + current.width();
        bottom = top + current.height();
    }
    if (right <= left)
        return;
    // As the platform caps a window at the screen's size, a stored size
    // larger than the screen is cut to it rather than letting a hostile file
    // make the window ask for gigabytes.
    const QSize screen = ScreenSize();
    const std::int64_t width = std::min<std::int64_t>(right - left, std::max(screen.width(), 1));
    const std::int64_t height =
        std::clamp<std::int64_t>(bottom - top, 0, std::max(screen.height(), 1));
    // The whole frame must lie inside the coordinates a window can have: one
    // pushed past their end stands at the end instead. Qt grows a window to
    // its minimum size, and a window system that has not framed the window
    // yet adds its frame later: room is kept for both.
    constexpr std::int64_t kLargest = std::numeric_limits<int>::max();
    constexpr std::int64_t kFrameNotKnownYet = 256;
    const QMargins margins = FrameMargins(window_);
    const std::int64_t reserve = margins.isNull() ? kFrameNotKnownYet : 0;
    const std::int64_t takenWidth =
        std::max<std::int64_t>(width, std::int64_t{window_->minimumWidth()} + margins.left() +
                                          margins.right()) +
        reserve;
    const std::int64_t takenHeight =
        std::max<std::int64_t>(height, std::int64_t{window_->minimumHeight()} + margins.top() +
                                           margins.bottom()) +
        reserve;
    left = std::min(left, kLargest - takenWidth);
    top = std::min(top, kLargest - takenHeight);
    placement.normal =
        QRect(QPoint(static_cast<int>(left), static_cast<int>(top)),
              QSize(static_cast<int>(width), static_cast<int>(height)));
    ApplyPlacement(placement);
}

void TFormStorage::BringOntoScreen() {
    if (window_->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QMargins margins = FrameMargins(window_);
    recheckWhenFramed_ = margins.isNull();
    const QRect outer = OuterFrame(window_);
    const QRect titleBar(outer.topLeft(), QSize(outer.width(), std::max(margins.top(), 1)));
    QRegion available;
    QScreen* target = nullptr;
    int bestOverlap = -1;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        available += area;
        const QRect overlap = area.intersected(outer);
        const int size = overlap.isEmpty() ? 0 : overlap.width() * overlap.height();
        if (size > bestOverlap) {
            bestOverlap = size;
            target = screen;
        }
    }
    if (!target || available.isEmpty() || (available & titleBar) == QRegion(titleBar))
        return;
    // Onto the screen the window shows most on, the primary one when it
    // shows on none.
    if (bestOverlap == 0 && PrimaryScreen())
        target = PrimaryScreen();
    const QRect area = target->availableGeometry();
    QSize size = outer.size();
    if (Resizable() && (size.width() > area.width() || size.height() > area.height())) {
        size = size.boundedTo(area.size());
        window_->resize(size.shrunkBy(margins).expandedTo(window_->minimumSize()));
    }
    int left = outer.left();
    int top = outer.top();
    if (left + size.width() > area.left() + area.width())
        left = area.left() + area.width() - size.width();
    left = std::max(left, area.left());
    if (top + size.height() > area.top() + area.height())
        top = area.top() + area.height() - size.height();
    top = std::max(top, area.top());
    window_->move(left, top);
    if (margins.isNull() && window_->windowHandle())
        window_->windowHandle()->setFramePosition(QPoint(left, top));
}

void TFormStorage::RestoreState(const TSettingsSection& store) {
    const int showCmd = ToInt(store.Read(QStringLiteral("ShowCmd")), 0);
    // Minimised (2, 6 and 7) is not restored: the window opens normal.
    const Qt::WindowStates others =
        window_->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    window_->setWindowState(showCmd == kShowMaximized ? others | Qt::WindowMaximized : others);
}

void TFormStorage::RestoreValues(const TSettingsSection& store) {
    for (auto& [name, value] : values_)
        value = store.Read(name, value.toString());
}

void TFormStorage::Restore() {
    saved_ = false;
    if (!active_)
        return;
    try {
        const TSettingsSection store(Section(), TSettingsSection::TAccess::Read);
        ReportSetAside(store);
        const int storedVersion = ToInt(store.Read(QStringLiteral("FormVersion")), 0);
        // Where the window stands before a state is applied to it.
        NoteNormalFrame();
        if (storedVersion >= version_) {
            RestorePlacement(store);
            NoteNormalFrame();
            seenNormal_ = false;
            if (kept_ == TPlacementKept::PositionAndState)
                RestoreState(store);
            restored_ = true;
            RestoreValues(store);
        }
        restored_ = true;
    } catch (const TSettingsError& e) {
        // The window opens all the same; the operator learns why it is not
        // where it was left.
        ReportError(e.Text());
        BringOntoScreen();
        return;
    }
    // A stored maximised position never takes effect.
    maxPosition_.reset();
    // Designed or stored, a place the operator cannot reach is no place.
    BringOntoScreen();
}

void TFormStorage::Save(bool destroying) {
    if (!active_ || !restored_)
        return;
    try {
        TSettingsSection store(Section(), TSettingsSection::TAccess::Write);
        ReportSetAside(store);
        store.Write(QStringLiteral("FormVersion"), QString::number(version_));
        const TPlacement placement = CurrentPlacement();
        const QString screen = ScreenSizeText();
        const QRect& r = placement.normal;
        const QString minMax =
            FourNumbersText(placement.minPosition.x(), placement.minPosition.y(),
                            placement.maxPosition.x(), placement.maxPosition.y());
        const QString norm =
            FourNumbersText(r.left(), r.top(), std::int64_t{r.left()} + r.width(),
                            std::int64_t{r.top()} + r.height());
        store.Write(QStringLiteral("Flags"), QString::number(placement.flags));
        store.Write(QStringLiteral("ShowCmd"), QString::number(placement.showCmd));
        store.Write(QStringLiteral("PixelsPerInch"), QString::number(PixelsPerInch()));
        store.Write(QStringLiteral("MinMaxPos") + screen, minMax);
        store.Write(QStringLiteral("MinMaxPos"), minMax);
        store.Write(QStringLiteral("NormPos") + screen, norm);
        store.Write(QStringLiteral("NormPos"), norm);
        store.Write(QStringLiteral("Visible"),
                    destroying ? QStringLiteral("1") : QStringLiteral("0"));
        for (const auto& [name, value] : values_)
            store.Write(name, value.toString());
        store.Commit();
        saved_ = true;
    } catch (const TSettingsError& e) {
        ReportError(e.Text());
    }
}

} // namespace zelmar
