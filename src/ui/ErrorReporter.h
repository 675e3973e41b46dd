#pragma once

#include <QString>

#include <functional>

namespace zelmar {

// The one place where an error reaches the operator: a message box with the
// error's text. Tests install their own reporter to read what it got.
using TErrorReporter = std::function<void(const QString& text)>;

void ReportError(const QString& text);

// Replaces the reporter; an empty function restores the message box.
void SetErrorReporter(TErrorReporter reporter);

} // namespace zelmar
