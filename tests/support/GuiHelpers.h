#pragma once

#include <QAbstractItemModel>
#include <QApplication>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace jxtest {

// With JX_SCREENSHOT_DIR set, saves a picture of the window there.
inline void shoot(QWidget* window, const char* name)
{
    if (qEnvironmentVariableIsSet("JX_SCREENSHOT_DIR"))
        window->grab().save(qEnvironmentVariable("JX_SCREENSHOT_DIR") + u'/' + QLatin1String(name) + ".png");
}

// Runs `then` on the modal window W once it is up, then closes it. Polls without blocking:
// the wait window paints (and so runs timers) before the window it precedes is shown.
template <typename W, typename F> void whenModal(F then)
{
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, then, ticks = 0]() mutable {
        auto* window = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!window) {
            if (++ticks > 250) {
                ADD_FAILURE() << "no modal " << W::staticMetaObject.className();
                poll->deleteLater();
                poll->stop();
            }
            return;
        }
        poll->stop();
        poll->deleteLater();
        (void)QTest::qWaitForWindowActive(window);
        then(window);
        if (window->isVisible())
            window->close();
    });
    poll->start();
}

inline void clickRow(QTableView* grid, int row, Qt::KeyboardModifiers modifiers = {})
{
    const QModelIndex index = grid->model()->index(row, 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, grid->visualRect(index).center());
}

} // namespace jxtest
