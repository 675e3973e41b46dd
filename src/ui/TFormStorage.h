#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVariant>
#include <optional>

class QWidget;

namespace zelmar {

class TSettingsSection;

// Restores a window's placement and stored values when it is shown and saves
// them when it closes or is destroyed, in the window's section of the host
// program's settings file.
class TFormStorage : public QObject {
    Q_OBJECT
public:
    enum class TPlacementKept { PositionOnly, PositionAndState };

    explicit TFormStorage(QWidget* window);

    // An inactive component neither restores nor saves.
    void SetActive(bool active) { active_ = active; }
    // The window's section; the window's class name when none is set.
    void SetSection(const QString& section) { section_ = section; }
    QString Section() const;
    void SetPlacementKept(TPlacementKept kept) { kept_ = kept; }
    // Stored settings of a lower version are not restored.
    void SetVersion(int version) { version_ = version; }

    // The stored value of that name (compared without regard to case), or an
    // empty value when there is none.
    QVariant StoredValue(const QString& name) const;
    // Replaces the value of that name or adds it; the file sees it at the
    // next save. Also declares the stored values and their initial values.
    void SetStoredValue(const QString& name, const QVariant& value);

    // Errors of the file are reported to the operator, never passed on.
    void Restore();
    void Save(bool destroying);

    bool Restored() const { return restored_; }
    bool Saved() const { return saved_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TPlacement {
        int flags = 0;
        int showCmd = 0;
        QPoint minPosition;
        QPoint maxPosition;
        QRect normal; // the outer frame in the normal state
    };

    TPlacement CurrentPlacement() const;
    void ApplyPlacement(const TPlacement& placement);
    void RestorePlacement(const TSettingsSection& store);
    void RestoreState(const TSettingsSection& store);
    void RestoreValues(const TSettingsSection& store);
    bool Resizable() const;
    QPoint BorderDefault() const;
    void NoteNormalFrame();
    void ApplyPendingSize();
    // A window whose title bar would lie outside the screens' available
    // area is moved just far enough to stand wholly on one; elsewhere the
    // placement is left as it is.
    void BringOntoScreen();

    QWidget* window_;
    bool active_ = true;
    QString section_;
    TPlacementKept kept_ = TPlacementKept::PositionOnly;
    int version_ = 0;
    QList<QPair<QString, QVariant>> values_;

    // What the platform keeps of a placement and Qt cannot report: the
    // placement flags and the minimised and maximised positions. They start
    // as the platform reports them for a window that never had a placement
    // of its own: flags 0, both positions -1,-1. Once a restore has run, the
    // maximised position is the platform's default for the window's border
    // (empty here), which is worked out from the frame when it is read.
    int flags_ = 0;
    QPoint minPosition_{-1, -1};
    std::optional<QPoint> maxPosition_{QPoint(-1, -1)};

    // The outer frame the window was given when last restored. Qt keeps a
    // window's normal geometry without its frame; for a window maximised
    // from its show on, before any frame was known, only this is right.
    std::optional<QRect> normalFrame_;
    bool seenNormal_ = false; // shown in its normal state since the restore
    // The outer size restored while the window's frame was not known yet.
    std::optional<QSize> pendingOuterSize_;
    // Placed before the window system framed it: looked at again once the
    // frame, and with it the title bar, is known.
    bool recheckWhenFramed_ = false;

    bool restored_ = false;
    bool saved_ = false;
};

} // namespace zelmar
