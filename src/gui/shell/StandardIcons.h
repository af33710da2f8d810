#pragma once

#include <QIcon>
#include <QStyle>

namespace jx::gui {

// A standard picture of the application's style that is read only when something first draws
// it or asks about it, once per picture for the whole run. The style reads every size of a
// picture from its resources on each request; done for every command at start-up, that cost
// more than building the main window.
QIcon standardIcon(QStyle::StandardPixmap picture);

} // namespace jx::gui
