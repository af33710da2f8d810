#pragma once

// The end of start-up as the start-up benchmark sees it: a window's first exposure, painted.
// Header-only and Qt-only, so that the benchmark's bare baseline program ends its start-up at
// the same moment and in the same way as jx.

#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <ctime>
#include <functional>

namespace jx::app {

// Calls done once, when the window that window() names has been exposed for the first time
// and that exposure has been handled (the widget repaints inside the expose handling). Watches
// the whole application, so that it cannot miss an exposure of a window created after it.
class FirstExposure : public QObject {
public:
    FirstExposure(std::function<QWidget*()> window, std::function<void()> done)
        : m_window(std::move(window))
        , m_done(std::move(done))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~FirstExposure() override
    {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Expose || m_seen)
            return false;
        const QWidget* target = m_window ? m_window() : nullptr;
        auto* window = qobject_cast<QWindow*>(watched);
        if (target && window && window == target->windowHandle() && window->isExposed()) {
            m_seen = true;
            QCoreApplication::instance()->removeEventFilter(this);
            // Queued: runs once the exposure itself (and its painting) has been delivered.
            QMetaObject::invokeMethod(
                this, [this] { m_done(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<QWidget*()> m_window;
    std::function<void()> m_done;
    bool m_seen = false;
};

// Tells the benchmark that start-up is over, with the CPU time the process has used so far
// (and what the caller adds, in "name value" pairs), then ends the event loop.
inline void reportShownAndQuit(const QByteArray& more = {})
{
    timespec cpu {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    std::printf("shown %.3f%s%s\n", double(cpu.tv_sec) * 1e3 + double(cpu.tv_nsec) / 1e6, more.isEmpty() ? "" : " ",
        more.constData());
    std::fflush(stdout);
    QCoreApplication::exit(0);
}

} // namespace jx::app
