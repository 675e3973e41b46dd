#pragma once

#include "scoring/BandFollower.h"

#include <QStyleOptionViewItem>
#include <QWidget>
#include <array>

class QButtonGroup;
class QFrame;
class QListWidget;
class QListWidgetItem;

namespace zelmar {

class TBandButton;
class TCountyItemDelegate;
class TFormStorage;
class TfmMainForm;

// The multipliers window: the counties of the county table, those worked on
// the chosen band in red bold. Owned by the statistics window, whose county
// table, worked county keys and stored band it uses.
class TfmDomList : public QWidget, public TBandFollower {
    Q_OBJECT
public:
    explicit TfmDomList(TfmMainForm* owner);
    ~TfmDomList() override;

    // Chooses band n (1 to 9); any other number changes no button and keeps
    // the band text, but is still stored. Never counts as a click.
    void SelectBand(std::int32_t n) override;
    // The band text the colouring compares against; empty until a band is
    // chosen.
    QString CurrentBandText() const { return currentBandText_; }

    void FormCreate();
    void FormShow();
    void FormClose();
    // Sets the font `canvas` draws `item` with: red bold when the item's
    // county is worked on the chosen band, else the list's own font in black.
    void LV1CustomDrawItem(QListWidget* sender, QListWidgetItem* item, QStyleOptionViewItem& canvas,
                           bool& defaultDraw);
    void Panel2Resize(QObject* sender);
    void RzBitBtn1Click(QObject* sender);

    TCountyItemDelegate* ItemDelegate() const { return delegate_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildDesign();

    TfmMainForm* owner_;
    TFormStorage* FormStorage1 = nullptr;
    QListWidget* LV1 = nullptr;
    QFrame* Panel2 = nullptr;
    TBandButton* RzBitBtn1 = nullptr;
    TBandButton* RzBitBtn2 = nullptr;
    TBandButton* RzBitBtn3 = nullptr;
    TBandButton* RzBitBtn4 = nullptr;
    TBandButton* RzBitBtn5 = nullptr;
    TBandButton* RzBitBtn6 = nullptr;
    TBandButton* RzBitBtn7 = nullptr;
    TBandButton* RzBitBtn8 = nullptr;
    TBandButton* RzBitBtn9 = nullptr;
    QFrame* spl1 = nullptr;

    // By number, 1 to 9.
    std::array<TBandButton*, 10> bandButtons_{};
    QButtonGroup* bandGroup_ = nullptr;
    TCountyItemDelegate* delegate_ = nullptr;
    QString currentBandText_;
};

} // namespace zelmar
