#pragma once

class QLabel;
class QWidget;
class QPixmap;
class QString;

namespace jx::gui {

// The program's picture and the red "JX" lettering shared by the main window, the splash
// and the About box.
QPixmap programPicture(int size);
QLabel* makeProgramNameLabel(QWidget* parent, int pointSize);
QLabel* makeRedBoldLabel(const QString& text, QWidget* parent, int pointSize);

} // namespace jx::gui
