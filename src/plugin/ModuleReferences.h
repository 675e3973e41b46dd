#pragma once

#include <QPointer>

namespace zelmar {

class TfmMainForm;
class TfmDomList;

// The one statistics window; empty means nothing is counted. A QPointer, so
// it is empty the moment the window is destroyed, however that happens.
QPointer<TfmMainForm>& CurrentWindow();

// The open multipliers window, empty when none is open.
QPointer<TfmDomList>& MultipliersWindow();

} // namespace zelmar
