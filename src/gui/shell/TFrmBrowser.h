#pragma once

#include "TFrmPadrao.h"

#include <QList>
#include <QPair>
#include <QString>

class QComboBox;
class QTableView;
class QWidget;

namespace jx {
class TdtmJX;
}

namespace jx::data {
class RecordSet;
class RecordSetModel;
} // namespace jx::data

namespace jx::gui {

class Commands;

// A filing browser: the filings in a read-only grid, an ordering choice, the search button,
// the maintenance panel (or, when selecting for print, the print button), Fechar and Ajuda.
class TFrmBrowser : public TFrmPadrao {
    Q_OBJECT

public:
    enum class Mode { Maintenance, PrintSelection };

    struct Layout {
        const char* objectName;
        QString title;
        int maintenanceTopic;
        int printTopic;
        const char* gridName;
        const char* orderName;
        QList<QPair<QString, QString>> columns; // field, title
        QList<int> widths;
        const char* search;
        const char* insert;
        const char* edit;
        const char* remove;
        const char* print;
        bool keyPreview;
    };

    TFrmBrowser(Commands& commands, TdtmJX& jx, data::RecordSet& set, Mode mode, const Layout& layout,
        QWidget* parent = nullptr);

    QTableView* grid() const { return m_grid; }
    QComboBox* orderList() const { return m_order; }
    QWidget* maintenancePanel() const { return m_maintenance; }
    QWidget* printButton() const { return m_print; }

private:
    TdtmJX& m_jx;
    data::RecordSet& m_set;
    data::RecordSetModel* m_model;
    QTableView* m_grid;
    QComboBox* m_order;
    QWidget* m_maintenance;
    QWidget* m_print;
};

} // namespace jx::gui
