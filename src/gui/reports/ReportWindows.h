#pragma once

#include <QObject>
#include <QString>

namespace jx {
class TdtmJX;
class UserPrompts;
} // namespace jx

namespace jx::gui {

class Commands;

// Runs the print commands: the printed pending list, the receipt chooser and the print of
// the delivery under its cursor, the print selection of both filing kinds and their forms.
class ReportWindows : public QObject {
    Q_OBJECT

public:
    ReportWindows(Commands& commands, TdtmJX& jx, UserPrompts& prompts, QObject* parent = nullptr);

    // actPendenciasImprimir: the list of the last verification with the list window's totals.
    void printPending(int kind, int errors, int warnings, QWidget* parent);
    // actImprimiRecibo: the delivery under the cursor of cdsEntregas, of the current kind.
    void printCurrentReceipt(QWidget* parent);
    // actImprimirReciboComputador.
    void openReceiptChooser();
    // actSolicitacaoIE_Selecao / actSolicitacaoContab_Selecao.
    void selectForPrint(bool request);
    // actSolicitacaoIE_Impressao / actSolicitacaoContab_Impressao: the filing under the cursor.
    void printFiling(bool request, QWidget* parent);

    static inline const QString kNoRequests = QStringLiteral("Não há solicitações cadastradas!");
    static inline const QString kNoEnablements = QStringLiteral("Não há habilitações cadastradas!");

private:
    Commands& m_commands;
    TdtmJX& m_jx;
    UserPrompts& m_prompts;
};

} // namespace jx::gui
