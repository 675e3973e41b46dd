#pragma once

#include <QSize>

class QWidget;

namespace qarvel {

// The size a top-level window is given: `wanted`, made smaller where the
// screen's available area (without panels and docks) is, so that the whole
// window with its frame and title bar fits on it. Before the window system
// has framed the window, room is kept for a usual frame.
QSize SizeFittingScreen(const QWidget* window, QSize wanted);

} // namespace qarvel
