#pragma once

#include "TFrmPadrao.h"

class QComboBox;
class QTableView;
class QWidget;

namespace jx {
class TdtmJX;
}

namespace jx::data {
class RecordSetModel;
}

namespace jx::gui {

class Commands;

// The request browser: the requests with CNPJ, name and status, an ordering choice, the
// maintenance panel (or, when selecting for print, the print button).
class TFrmbrsIE : public TFrmPadrao {
    Q_OBJECT

public:
    enum class Mode { Maintenance, PrintSelection };

    TFrmbrsIE(Commands& commands, TdtmJX& jx, Mode mode, QWidget* parent = nullptr);

    QTableView* grid() const { return m_grid; }
    QComboBox* orderList() const { return m_order; }
    QWidget* maintenancePanel() const { return m_maintenance; }
    QWidget* printButton() const { return m_print; }

private:
    TdtmJX& m_jx;
    data::RecordSetModel* m_model;
    QTableView* m_grid;
    QComboBox* m_order;
    QWidget* m_maintenance;
    QWidget* m_print;
};

} // namespace jx::gui
