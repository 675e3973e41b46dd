#include "ModuleReferences.h"

#include "ui/TfmDomList.h"
#include "ui/TfmMainForm.h"

namespace zelmar {

QPointer<TfmMainForm>& CurrentWindow() {
    static QPointer<TfmMainForm> window;
    return window;
}

QPointer<TfmDomList>& MultipliersWindow() {
    static QPointer<TfmDomList> window;
    return window;
}

} // namespace zelmar
