#pragma once

#include <QApplication>

#include <functional>

namespace jx::gui {

// The application object. Exceptions that reach the event loop go to the program-wide
// handler (installed by the main window) and the loop goes on.
class JxApplication : public QApplication {
    Q_OBJECT

public:
    JxApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    static void setErrorHandler(std::function<void(const QString&)> handler);
    // Shows and logs an error the way the handler does; used where code catches itself.
    static void handleError(const QString& message);
};

} // namespace jx::gui
