#include "JxApplication.h"

#include "Error.h"
#include "db/Sqlite.h"
#include "db/TdtmDB.h"

#include <cstdio>
#include <cstdlib>

namespace jx::gui {

namespace {

std::function<void(const QString&)>& handler()
{
    static std::function<void(const QString&)> instance;
    return instance;
}

} // namespace

JxApplication::JxApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

void JxApplication::setErrorHandler(std::function<void(const QString&)> newHandler)
{
    handler() = std::move(newHandler);
}

void JxApplication::handleError(const QString& message)
{
    if (handler())
        handler()(message);
    else
        std::fprintf(stderr, "%s\n", message.toUtf8().constData());
}

bool JxApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const ProgramEnd& end) {
        // The termination hook has run; nothing else may.
        std::exit(end.status);
    } catch (const Error& e) {
        handleError(e.userText());
    } catch (const db::DbError& e) {
        handleError(e.message());
    } catch (const std::exception& e) {
        handleError(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace jx::gui
