#pragma once

#include <QString>

namespace qarvel {

// A text that can be a call sign: letters and digits, at least one of each,
// in parts separated by single slashes (DL1ABC, DL/YO3ABC, YO3ABC/P).
bool LooksLikeCallSign(const QString& call);

} // namespace qarvel
