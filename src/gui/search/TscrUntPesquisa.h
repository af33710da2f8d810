#pragma once

#include "TFrmPadrao.h"
#include "search/Search.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;

namespace jx {
class TdtmJX;
}

namespace jx::gui {

// "Pesquisa": one of the browser grid's columns, a value and a form of matching.
class TscrUntPesquisa : public TFrmPadrao {
    Q_OBJECT

public:
    TscrUntPesquisa(TdtmJX& jx, QTableView* grid, data::RecordSet& set, const QString& table, const QString& key,
        QWidget* parent = nullptr);

    QComboBox* fieldList() const { return m_field; }
    QLineEdit* valueEdit() const { return m_value; }
    QButtonGroup* forms() const { return m_forms; }
    QPushButton* confirmButton() const { return m_confirm; }
    // The confirmation; true when something was found (the dialog then closes).
    bool confirm();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void chooseField(int index);

    Search m_search;
    QComboBox* m_field;
    QLineEdit* m_value;
    QButtonGroup* m_forms;
    QPushButton* m_confirm;
    QTableView* m_grid;
    bool m_dateMask = false;
};

} // namespace jx::gui
