#include "GridLineStyle.h"

namespace zelmar {

TGridLineStyle::TGridLineStyle(const QColor& lineColour, QObject* parent)
    : lineColour_(lineColour) {
    setParent(parent);
}

int TGridLineStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                              QStyleHintReturn* returnData) const {
    if (hint == SH_Table_GridLineColor)
        return static_cast<int>(lineColour_.rgba());
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

} // namespace zelmar
