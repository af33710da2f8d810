#pragma once

#include "TFrmVerificarPendencias.h"
#include "data/TdtmJX.h"

#include <QApplication>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace jxtest {

template <typename W> W* waitForModal()
{
    W* found = nullptr;
    (void)QTest::qWaitFor(
        [&] {
            found = qobject_cast<W*>(QApplication::activeModalWidget());
            return found != nullptr;
        },
        // Generous: on a loaded machine a window may take seconds to come up, and a dialog not
        // found is left open for good.
        20000);
    if (found)
        (void)QTest::qWaitForWindowActive(found); // typing needs the focus, which an inactive window lacks
    return found;
}

// When the list comes up: chooses the first item whose text contains what is given (by a
// double click, or by Enter), after noting every item's control; the list closes.
struct Chooser {
    QString text;
    bool byEnter = false;
    bool listed = false;
    QStringList controls;

    void arm(jx::TdtmJX& jx)
    {
        QTimer::singleShot(0, [this, &jx] {
            auto* list = waitForModal<jx::gui::TFrmVerificarPendencias>();
            if (!list)
                return;
            listed = true;
            const jx::data::RecordSet& items = *jx.cdsPendecias;
            int row = -1;
            for (int v = 0; v < items.count(); ++v) {
                controls << items.valueAt(v, items.fieldIndex("Controle")).toString();
                if (row < 0 && items.valueAt(v, items.fieldIndex("Pendencia")).toString().contains(text))
                    row = v;
            }
            if (row < 0) {
                list->close();
                return;
            }
            QTableView* grid = list->grid();
            const QModelIndex index = grid->model()->index(row, 2);
            grid->scrollTo(index);
            if (byEnter) {
                grid->setFocus();
                grid->setCurrentIndex(index);
                QTest::keyClick(grid, Qt::Key_Return);
            } else {
                const QPoint at = grid->visualRect(index).center();
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
            }
            if (list->isVisible())
                list->close();
        });
    }
};

} // namespace jxtest
