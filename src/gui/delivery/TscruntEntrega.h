#pragma once

#include "TFrmPadrao.h"
#include "delivery/DeliveryRun.h"

#include <QList>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QStackedWidget;
class QStatusBar;
class QTableView;

namespace jx {
class TdtmJX;
class UserPrompts;
namespace data {
class RecordSet;
}
} // namespace jx

namespace jx::gui {

class Commands;

// "Entrega", the delivery wizard, in diskette or transmitter mode. The selection page offers
// the filings of one kind, those with errors left out; Confirmar delivers the selected ones
// and the progress page follows the run. A window serves one run.
class TscruntEntrega : public TFrmPadrao {
    Q_OBJECT

public:
    using Mode = DeliveryRun::Mode;

    TscruntEntrega(Commands& commands, TdtmJX& jx, UserPrompts& prompts, const QString& programFolder, Mode mode,
        QWidget* parent = nullptr);
    ~TscruntEntrega() override;

    // EscolherDrive for the diskette steps: the removable-disk dialog unless replaced.
    std::function<std::optional<QString>()> chooseDrive;
    // Shows one delivery's receipt after a transmission: its stored text unless replaced.
    std::function<void(qint64 deliveryId)> showReceipt;

    Mode mode() const { return m_mode; }
    // Whether "Confirmar" may run: no run yet, and the kind's filings are not empty.
    bool canConfirm() const;
    // FazerEntrega: delivers the filings selected in the grid shown (none: its current one).
    void FazerEntrega();
    // The rows selected in the grid shown, as visible rows of its record set, in order.
    QList<int> selectedRows() const;
    const DeliveryRun* lastRun() const { return m_run.get(); }

    QComboBox* typeList() const { return m_type; }
    QTableView* requestGrid() const { return m_requests; }
    QTableView* enablementGrid() const { return m_enablements; }
    QStackedWidget* pages() const { return m_pages; }
    QStatusBar* statusBar() const { return m_status; }

    void done(int result) override;

    static inline const QString kDisketteText = QStringLiteral("Gravação em disquete");
    static inline const QString kTransmitterText = QStringLiteral("Transmissão Via Internet");
    static inline const QString kRequestItem = QStringLiteral("Solicitação de Inscrição Estadual");
    static inline const QString kEnablementItem = QStringLiteral("Habilitação de Contabilista\\Empresa Contábil");
    static inline const QString kRequestInstruction
        = QStringLiteral("Para selecionar mais de uma Solicitação manter pressionada a tecla Ctrl durante a seleção.");
    static inline const QString kEnablementInstruction
        = QStringLiteral("Para selecionar mais de uma Habilitação manter pressionada a tecla Ctrl durante a seleção.");
    static inline const QString kWait = QStringLiteral("Aguarde...");

protected:
    bool event(QEvent* event) override;

private:
    QWidget* makeSelectionPage();
    QWidget* makeProgressPage();
    void changeType(int index);
    int currentKind() const;
    void removeFilters();
    void showLine(int line, const QString& text, bool bold);
    void showStoredReceipt(qint64 deliveryId);

    Commands& m_commands;
    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    QString m_programFolder;
    Mode m_mode;
    data::RecordSet* m_confirmSet;
    bool m_activated = false;
    bool m_used = false;
    bool m_filtered = false;
    std::unique_ptr<DeliveryRun> m_run;

    QComboBox* m_type = nullptr;
    QStackedWidget* m_pages = nullptr;
    QStackedWidget* m_groups = nullptr;
    QTableView* m_requests = nullptr;
    QTableView* m_enablements = nullptr;
    QLabel* m_instruction = nullptr;
    QList<QLabel*> m_lines;
    QLabel* m_final = nullptr;
    QStatusBar* m_status = nullptr;
};

} // namespace jx::gui
