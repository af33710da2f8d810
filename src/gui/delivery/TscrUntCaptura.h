#pragma once

#include "TFrmPadrao.h"

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QStatusBar;
class QTableView;
class QToolButton;

namespace jx {
class ProtocolCapture;
class TdtmJX;
class UserPrompts;
} // namespace jx

namespace jx::gui {

class Commands;

// The capture window: the protocols found on a returned diskette, listed for capture into
// the deliveries the diskette run recorded (or, in receipt mode, for printing receipts).
class TscrUntCaptura : public TFrmPadrao {
    Q_OBJECT

public:
    enum class Mode { Capture = 0, Receipt = 1 };

    TscrUntCaptura(Commands& commands, TdtmJX& jx, UserPrompts& prompts, QWidget* parent = nullptr);
    // Where the transmitted files whose records were not kept wait: offered beside the drives
    // while it holds files.
    QString unregisteredFolder;
    ~TscrUntCaptura() override;

    // The removable-disk dialog (parent, caption): the chosen drive, or nothing.
    std::function<std::optional<QString>(QWidget*, const QString&)> chooseDrive;

    // AbrirCaptura: empties the list, reads a diskette and, when it holds protocols, shows the
    // window modally. False when the window did not open.
    bool AbrirCaptura(Mode mode);
    // "&Capturar Protocolo" on the selected row.
    void capturar();
    // "&Imprimir Recibo": the receipt of the selected protocol's delivery, captured first when
    // the user agrees.
    void imprimir();

    QTableView* grid() const { return m_grid; }
    QAction* captureAction() const { return m_capture; }
    QAction* printAction() const { return m_print; }

    static inline const QString kCaptureText = QStringLiteral("Captura de Protocolos");
    static inline const QString kReceiptCaption = QStringLiteral("Impressões de Recibos");
    static inline const QString kReceiptText = QStringLiteral("Impressões de Recibos do disquete");
    static inline const QString kDiskCaption = QStringLiteral("Insira o disquete");
    static inline const QString kCaptureFirst = QStringLiteral(
        "O protocolo selecionado ainda não foi capturado e não poderá ser impresso!\rDeseja capturá-lo agora?");
    static inline const QString kCannotCapture = QStringLiteral("Não é possível capturar o protocolo!");

private:
    bool LerDisquete();

    Commands& m_commands;
    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    // The core's messages pass here, so that none is drawn under the wait window.
    std::unique_ptr<UserPrompts> m_shownPrompts;
    std::unique_ptr<ProtocolCapture> m_reader;
    QWidget* m_wait = nullptr;
    QLabel* m_captureImage;
    QLabel* m_receiptImage;
    QLabel* m_modeText;
    QTableView* m_grid;
    QAction* m_capture;
    QAction* m_print;
    QToolButton* m_captureButton;
    QStatusBar* m_status;
};

} // namespace jx::gui
