#pragma once

#include "TFrmPadrao.h"

class QLabel;
class QTableView;

namespace jx {
class TdtmJX;
}

namespace jx::gui {

class Commands;

// "Verificação de Pendências": the items of the last verification with their severity icon,
// the error and warning totals and what they mean for the filing kind.
class TFrmVerificarPendencias : public TFrmPadrao {
    Q_OBJECT

public:
    // request: true for a request, false for an enablement.
    TFrmVerificarPendencias(Commands& commands, TdtmJX& jx, bool request, QWidget* parent = nullptr);

    QTableView* grid() const { return m_grid; }
    // Whether choosing an item (double click, Enter) closes the list with that item chosen.
    void setJumpEnabled(bool enabled) { m_jump = enabled; }
    // The chosen item's control on its form and, for a person, its row (-1 for none).
    const QString& chosenControl() const { return m_chosenControl; }
    int chosenRow() const { return m_chosenRow; }
    int errors() const { return m_errors; }
    int warnings() const { return m_warnings; }
    // The kind of filing the list is about: 1 a request, 0 an enablement.
    int filingKind() const { return m_request ? 1 : 0; }

    // The 16 × 16 pictures: a red diamond with a white X, a yellow triangle with a black "!".
    static QPixmap errorIcon();
    static QPixmap warningIcon();

    static inline const QString kSecondLine
        = QStringLiteral("AVISOS são apenas alertas que não impedem a gravação da mesma.");

private:
    QTableView* m_grid;
    bool m_request;
    int m_errors = 0;
    int m_warnings = 0;
    bool m_jump = false;
    QString m_chosenControl;
    int m_chosenRow = -1;
};

} // namespace jx::gui
