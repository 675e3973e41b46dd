#pragma once

#include <QColor>
#include <QProxyStyle>

namespace zelmar {

// The platform's style with one change: the lines between a table's cells
// have a colour of their own instead of one the style derives from the
// palette.
class TGridLineStyle : public QProxyStyle {
    Q_OBJECT
public:
    TGridLineStyle(const QColor& lineColour, QObject* parent);

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

private:
    QColor lineColour_;
};

} // namespace zelmar
