#include "TscrUntCaptura.h"

#include "Binders.h"
#include "Commands.h"
#include "DeliveryHeader.h"
#include "TFrmAguarde.h"
#include "TscrRptPreview.h"
#include "TscrUntCheckDisquete.h"
#include "data/RecordSetModel.h"
#include "data/TdtmJX.h"
#include "delivery/ProtocolCapture.h"
#include "delivery/Receipts.h"
#include "platform/UserPrompts.h"

#include <QDir>
#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace jx::gui {

namespace {

// Hides the wait window before any message, then passes the message on.
class PromptsOverWait : public UserPrompts {
public:
    PromptsOverWait(UserPrompts& inner, QWidget*& wait)
        : m_inner(inner)
        , m_wait(wait)
    {
    }

    void error(const QString& text) override
    {
        hideWait();
        m_inner.error(text);
    }
    void warning(const QString& text) override
    {
        hideWait();
        m_inner.warning(text);
    }
    void information(const QString& text) override
    {
        hideWait();
        m_inner.information(text);
    }
    void message(const QString& text) override
    {
        hideWait();
        m_inner.message(text);
    }
    bool confirmYesNo(const QString& text) override
    {
        hideWait();
        return m_inner.confirmYesNo(text);
    }
    bool warnYesNo(const QString& text) override
    {
        hideWait();
        return m_inner.warnYesNo(text);
    }
    bool informYesNo(const QString& text) override
    {
        hideWait();
        return m_inner.informYesNo(text);
    }
    bool confirmOkCancel(const QString& text) override
    {
        hideWait();
        return m_inner.confirmOkCancel(text);
    }
    QString chooseFolder(const QString& caption, const QString& start) override
    {
        hideWait();
        return m_inner.chooseFolder(caption, start);
    }
    QString chooseSaveFile(const QString& caption, const QString& path, const QString& filter) override
    {
        hideWait();
        return m_inner.chooseSaveFile(caption, path, filter);
    }

private:
    void hideWait()
    {
        if (auto* wait = qobject_cast<TFrmAguarde*>(m_wait))
            wait->finish();
    }

    UserPrompts& m_inner;
    QWidget*& m_wait;
};

} // namespace

TscrUntCaptura::TscrUntCaptura(Commands& commands, TdtmJX& jx, UserPrompts& prompts, QWidget* parent)
    : TFrmPadrao(parent)
    , m_commands(commands)
    , m_jx(jx)
    , m_prompts(prompts)
    , m_shownPrompts(std::make_unique<PromptsOverWait>(prompts, m_wait))
    , m_reader(std::make_unique<ProtocolCapture>(jx, *m_shownPrompts))
{
    setObjectName(QStringLiteral("TscrUntCaptura"));
    setWindowTitle(QStringLiteral("Disquete"));
    chooseDrive = [this](QWidget* parent, const QString& caption) {
        QStringList folders;
        if (!unregisteredFolder.isEmpty() && !QDir(unregisteredFolder).entryList({ "*.xml" }, QDir::Files).isEmpty())
            folders << QDir::toNativeSeparators(unregisteredFolder);
        return TscrUntCheckDisquete::EscolherDrive(m_prompts, parent, caption, folders);
    };

    auto* layout = new QVBoxLayout(this);
    const DeliveryHeader header
        = makeDeliveryHeader(this, layout, "imgCaptura", capturePicture(), "imgRecibo", receiptPicture());
    m_captureImage = header.first;
    m_receiptImage = header.second;
    m_modeText = header.mode;

    m_grid = cursorGrid(this, "gdProtocolo", *jx.cdsProtocolosAux,
        { { "CONTA", QStringLiteral("Nº") }, { "PROTOCOLO", QStringLiteral("Protocolo") },
            { "DATA", QStringLiteral("Data") }, { "HORA", QStringLiteral("Hora") },
            { "IDENTIFICADOR", QStringLiteral("Identificador") }, { "TIPO", QStringLiteral("Tipo") } },
        { 40, 150, 80, 70, 130 });
    layout->addWidget(m_grid, 1);

    auto own = [this](const char* name, const QString& text, const QString& hint, const char* keys,
                   QStyle::StandardPixmap picture) {
        auto* action = new QAction(style()->standardIcon(picture), text, this);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(hint);
        action->setStatusTip(hint);
        action->setShortcut(QKeySequence(QLatin1String(keys)));
        return action;
    };
    m_capture = own("actCapturar", QStringLiteral("&Capturar Protocolo"),
        QStringLiteral("Captura protocolo do disquete"), "Ctrl+C", QStyle::SP_DialogApplyButton);
    m_print = own("actImprimir", QStringLiteral("&Imprimir Recibo"), QStringLiteral("Imprime recibo do disquete"),
        "Ctrl+I", QStyle::SP_FileDialogContentsView);
    connect(m_capture, &QAction::triggered, this, &TscrUntCaptura::capturar);
    connect(m_print, &QAction::triggered, this, &TscrUntCaptura::imprimir);

    auto* bar = new QHBoxLayout;
    bar->addStretch();
    auto ownButton = [&](QAction* action, const char* name) {
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(name));
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        bar->addWidget(button);
        return button;
    };
    m_captureButton = ownButton(m_capture, "spbCapturar");
    ownButton(m_print, "spbImprimir");
    for (const char* command : { "actFecharPadrao", "actAjuda" })
        bar->addWidget(makeCommandButton(this, commands, QLatin1String(command)));
    layout->addLayout(bar);
    m_status = new QStatusBar(this);
    m_status->setSizeGripEnabled(false);
    layout->addWidget(m_status);

    addActions({ m_capture, m_print, commands.action(QStringLiteral("actFecharPadrao")),
        commands.action(QStringLiteral("actAjuda")) });
    setContextMenuPolicy(Qt::ActionsContextMenu);
    setFixedSize(680, 400);
}

TscrUntCaptura::~TscrUntCaptura() = default;

bool TscrUntCaptura::AbrirCaptura(Mode mode)
{
    TFrmAguarde wait(this);
    m_wait = &wait;
    wait.start();
    m_jx.cdsProtocolosAux->clearRows();
    const bool capture = mode == Mode::Capture;
    setWindowTitle(capture ? kCaptureText : kReceiptCaption);
    m_modeText->setText(capture ? kCaptureText : kReceiptText);
    m_captureImage->setVisible(capture);
    m_receiptImage->setVisible(!capture);
    m_captureButton->setVisible(capture);
    m_capture->setEnabled(capture);
    setHelpTopic(capture ? 10 : 37);
    const bool read = LerDisquete();
    wait.finish();
    m_wait = nullptr;
    if (!read)
        return false;
    exec();
    return true;
}

bool TscrUntCaptura::LerDisquete()
{
    // The disk dialog must not sit under the wait window.
    if (auto* wait = qobject_cast<TFrmAguarde*>(m_wait))
        wait->finish();
    const std::optional<QString> drive = chooseDrive ? chooseDrive(this, kDiskCaption) : std::nullopt;
    if (!drive)
        return false;
    if (auto* wait = qobject_cast<TFrmAguarde*>(m_wait))
        wait->start();
    return m_reader->LerDisquete(*drive);
}

void TscrUntCaptura::capturar()
{
    m_reader->capturarProtocolo();
}

void TscrUntCaptura::imprimir()
{
    data::RecordSet& list = *m_jx.cdsProtocolosAux;
    if (list.isEmpty())
        return;
    if (!m_reader->selectRecordedDelivery()) {
        if (!m_prompts.confirmYesNo(kCaptureFirst))
            return;
        if (!m_reader->tryCapture() || !m_reader->selectRecordedDelivery()) {
            m_prompts.error(kCannotCapture);
            return;
        }
    }
    const bool request = list.text("COD_TIPO") != QLatin1String("H");
    previewReceipt(m_jx, m_prompts, request, report::ReceiptReport::currentDelivery(*m_jx.cdsGeral), this);
}

} // namespace jx::gui
