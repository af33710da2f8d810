#pragma once

#include <QDialog>

namespace jx::gui {

// The base of the program's modal windows: Enter moves the focus to the next control in
// tab order, Shift+Enter to the previous one, wrapping at the ends; on a focused button
// Enter presses it. The window opens with the focus on its first field. With key preview the
// window sees the key whichever control has the focus; without it, only while the window
// itself has the focus. Closing first moves the focus on, so that a value still being
// typed reaches its field.
class TFrmPadrao : public QDialog {
    Q_OBJECT

public:
    explicit TFrmPadrao(QWidget* parent = nullptr, bool keyPreview = false);
    ~TFrmPadrao() override;

    bool keyPreview() const { return m_keyPreview; }
    void setHelpTopic(int topic) { setProperty("helpTopic", topic); }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Called before the window goes away, the focus already moved on.
    void commitTyping();

private:
    bool moveFocus(bool backwards);

    bool m_keyPreview;
    bool m_committing = false;
};

// Puts the window's centre on the main window's (on the screen's without one). Qt centres a
// dialog on its parent less a guessed frame, so each window opened from another landed
// further off; measured from the main window, a window opens in the same place every time.
void centreOnMainWindow(QWidget* window);

} // namespace jx::gui
