#pragma once

#include "TFrmPadrao.h"

class QComboBox;
class QLabel;
class QStackedLayout;
class QTableView;

namespace jx {
class TdtmJX;
}

namespace jx::gui {

class Commands;

// "Impressão de Recibo de Entrega do Computador": a filing of either kind, its deliveries
// with a protocol, and "&Imprimir" for the delivery under the cursor.
class TscrUntEscolheTipoRecibo : public TFrmPadrao {
    Q_OBJECT

public:
    TscrUntEscolheTipoRecibo(Commands& commands, TdtmJX& jx, QWidget* parent = nullptr);
    ~TscrUntEscolheTipoRecibo() override;

    QComboBox* kindList() const { return m_kind; }
    QTableView* requests() const { return m_requests; }
    QTableView* enablements() const { return m_enablements; }
    QTableView* deliveries() const { return m_deliveries; }
    QLabel* nameLabel() const { return m_name; }
    // The filings grid in front.
    QTableView* currentFilings() const;

    // cbTipo: 0 the requests, 1 the enablements.
    void chooseKind(int index);

    static inline const QString kCaption = QStringLiteral("Impressão de Recibo de Entrega do Computador");
    static inline const QString kRequestsName = QStringLiteral("Solicitações de Inscrição Estadual");
    static inline const QString kEnablementsName = QStringLiteral("Habilitação de Contabilista");

protected:
    void showEvent(QShowEvent* event) override;
    // "&Imprimir" is the window's default: Enter prints when it may.
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    Commands& m_commands;
    TdtmJX& m_jx;
    QComboBox* m_kind;
    QLabel* m_name;
    QStackedLayout* m_stack;
    QTableView* m_requests;
    QTableView* m_enablements;
    QTableView* m_deliveries;
    bool m_opened = false;
};

} // namespace jx::gui
