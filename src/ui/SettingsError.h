#pragma once

#include <QString>
#include <stdexcept>

namespace zelmar {

// A failure of the settings store, carrying the text the operator is shown.
class TSettingsError : public std::runtime_error {
public:
    explicit TSettingsError(const QString& text)
        : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& Text() const { return text_; }

private:
    QString text_;
};

} // namespace zelmar
