#include "TfmDomList.h"

#include "TfmMainForm.h"
#include "scoring/BandNames.h"

namespace zelmar {

TfmDomList::TfmDomList(TfmMainForm* owner)
    : QWidget(owner, Qt::Window | Qt::WindowStaysOnTopHint), owner_(owner) {
    setWindowTitle(QStringLiteral("Multipliers"));
    setAttribute(Qt::WA_DeleteOnClose);
}

void TfmDomList::SelectBand(std::int32_t n) {
    if (n >= 1 && n <= 9) {
        const auto text = BandNames[static_cast<std::size_t>(n)];
        currentBandText_ = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    }
}

} // namespace zelmar
