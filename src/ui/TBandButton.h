#pragma once

#include <QPushButton>

namespace zelmar {

// A band button of the multipliers window: a push button that stays down
// while its band is chosen, highlighted under the mouse pointer, reachable
// by mouse only. Enter runs the click handler without touching the down
// state (the handler sets it down itself).
class TBandButton : public QPushButton {
    Q_OBJECT
public:
    TBandButton(int number, const QString& caption, QWidget* parent);

    // The band number 1 to 9 the button chooses, whatever its place.
    int Number() const { return number_; }

    // Fills the face with a dither pattern while down.
    void SetDownPattern(bool on) { downPattern_ = on; }
    bool DownPattern() const { return downPattern_; }
    // Draws a focus rectangle inside the face while focused.
    void SetFocusRectangle(bool on) { focusRectangle_ = on; }
    bool FocusRectangle() const { return focusRectangle_; }

signals:
    void EnterPressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int number_;
    bool downPattern_ = true;
    bool focusRectangle_ = true;
};

} // namespace zelmar
