#include "TFrmPrincipal.h"

#include "Branding.h"
#include "Commands.h"
#include "JxApplication.h"
#include "config/ConfigApp.h"
#include "delivery/UnregisteredDeliveries.h"
#include "platform/Paths.h"
#include "platform/UserPrompts.h"
#include "platform/WorkingFolder.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace jx::gui {

TFrmPrincipal::TFrmPrincipal(
    Commands& commands, TConfigApp& config, UserPrompts& prompts, const QString& programFolder, QWidget* parent)
    : QMainWindow(parent)
    , m_commands(commands)
    , m_config(config)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TFrmPrincipal"));
    setProperty("helpTopic", 7);
    QApplication::setApplicationName(config.applicationTitle());
    JxApplication::setErrorHandler([this](const QString& message) {
        m_prompts.error(message);
        m_config.logError(message);
    });
    // Leftovers of an interrupted delivery or backup (never another live run's); a file that
    // carries a protocol is kept aside, not deleted. Failures are not reported.
    QStringList kept;
    WorkingFolder::sweepStale(programFolder, unregistered::rescuer(programFolder, &kept));
    // Said once the window is up: those files are the only proof of their deliveries.
    if (!kept.isEmpty())
        QTimer::singleShot(0, this, [this, text = unregistered::keptText(programFolder, kept)] { m_prompts.warning(text); });
    setWindowTitle(config.mainWindowCaption());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    buildToolBar();
    buildMenus();
    setCentralWidget(buildPanels());

    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &TFrmPrincipal::tick);
    m_timer->start();
}

QToolButton* TFrmPrincipal::button(const QString& name) const
{
    return findChild<QToolButton*>(name);
}

void TFrmPrincipal::buildToolBar()
{
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(32, 32));
    addToolBar(Qt::TopToolBarArea, bar);

    auto add = [&](const char* name, const char* command) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QLatin1String(name));
        b->setAutoRaise(true);
        b->setCursor(Qt::PointingHandCursor);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setDefaultAction(m_commands.action(QLatin1String(command)));
        bar->addWidget(b);
        return b;
    };
    // The first two run their command directly and keep captions of their own.
    auto direct = [&](const char* name, const char* command, const QString& caption, const QString& hint) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QLatin1String(name));
        b->setAutoRaise(true);
        b->setCursor(Qt::PointingHandCursor);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setText(caption);
        b->setToolTip(hint);
        QAction* action = m_commands.action(QLatin1String(command));
        b->setIcon(action->icon());
        connect(b, &QToolButton::clicked, action, &QAction::trigger);
        // One command, one state: a command not built yet is disabled here too.
        b->setEnabled(action->isEnabled());
        connect(action, &QAction::changed, b, [b, action] { b->setEnabled(action->isEnabled()); });
        bar->addWidget(b);
    };
    direct("SpeedButton3", "actAbrirSolicitacaoInscricaoEstadual", QStringLiteral("&Inscrição Estadual"),
        QStringLiteral("Solicitação de Inscrição Estadual (Ctrl+I)"));
    direct("SpeedButton4", "actSolicitacaoContab_Abrir", QStringLiteral("&Habilitação de Contabilista"),
        QStringLiteral("Habilitação de Contabilista/Empresa Contábil (Ctrl+H)"));
    bar->addSeparator();
    add("SpeedButton5", "actEntrega_Internet");
    add("SpeedButton6", "actEntrega_Disquete");
    bar->addSeparator();
    add("SpeedButton1", "actBackp");
    add("SpeedButton9", "actRestauracao");
    bar->addSeparator();
    add("SpeedButton7", "actSairPrincipal");
}

void TFrmPrincipal::buildMenus()
{
    QMenuBar* menus = menuBar();
    menus->setObjectName(QStringLiteral("MainMenu"));
    auto act = [this](const char* name) {
        QAction* a = m_commands.action(QLatin1String(name));
        addAction(a); // shortcuts work while the main window is active
        return a;
    };

    QMenu* cadastros = menus->addMenu(QStringLiteral("&Cadastros"));
    cadastros->addAction(act("actAbrirSolicitacaoInscricaoEstadual"));
    cadastros->addAction(act("actSolicitacaoContab_Abrir"));
    cadastros->addSeparator();
    cadastros->addAction(act("actSairPrincipal"));

    QMenu* entregas = menus->addMenu(QStringLiteral("&Entregas"));
    entregas->addAction(act("actEntrega_Internet"));
    entregas->addAction(act("actEntrega_Disquete"));
    entregas->addSeparator();
    entregas->addAction(act("actProtocolo_Capturar"));

    QMenu* impressoes = menus->addMenu(QStringLiteral("&Impressões"));
    impressoes->addAction(act("actSolicitacaoIE_Selecao"));
    impressoes->addAction(act("actSolicitacaoContab_Selecao"));
    impressoes->addSeparator();
    QMenu* recibos = impressoes->addMenu(QStringLiteral("Recibos de Entrega"));
    recibos->addAction(act("actImprimirReciboComputador"));
    recibos->addAction(act("actImprimirReciboDisquete"));

    QMenu* utilitarios = menus->addMenu(QStringLiteral("&Utilitários"));
    utilitarios->addAction(act("actBackp"));
    utilitarios->addAction(act("actRestauracao"));

    QMenu* ajuda = menus->addMenu(QStringLiteral("&Ajuda"));
    QAction* sistema = ajuda->addAction(QStringLiteral("&Sistema"));
    sistema->setObjectName(QStringLiteral("mniSistema"));
    sistema->setShortcut(QKeySequence(Qt::Key_F1));
    connect(sistema, &QAction::triggered, this, [this] {
        if (m_commands.showHelp)
            m_commands.showHelp(7);
    });
    addAction(sistema);
    ajuda->addSeparator();
    ajuda->addAction(act("actSobre"));
}

QWidget* TFrmPrincipal::buildPanels()
{
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    auto white = [](QWidget* w) {
        w->setAutoFillBackground(true);
        QPalette palette = w->palette();
        palette.setColor(QPalette::Window, Qt::white);
        w->setPalette(palette);
    };

    auto* left = new QWidget(central);
    left->setObjectName(QStringLiteral("pnlEsquerdo"));
    white(left);
    left->setFixedWidth(220);
    auto* leftLayout = new QVBoxLayout(left);
    auto* picture = new QLabel(left);
    picture->setPixmap(programPicture(120));
    picture->setAlignment(Qt::AlignCenter);
    leftLayout->addWidget(picture);
    QLabel* name = makeProgramNameLabel(left, 40);
    name->setObjectName(QStringLiteral("lblJX"));
    name->setAlignment(Qt::AlignCenter);
    leftLayout->addWidget(name);
    QLabel* subtitle = makeRedBoldLabel(QStringLiteral("Inscrição Estadual"), left, 13);
    subtitle->setObjectName(QStringLiteral("lblInscricaoEstadual"));
    subtitle->setAlignment(Qt::AlignCenter);
    leftLayout->addWidget(subtitle);
    auto* versionRow = new QHBoxLayout;
    auto* versionCaption = new QLabel(QStringLiteral("Versão:"), left);
    versionCaption->setObjectName(QStringLiteral("lblVersaoTitulo"));
    auto* version = new QLabel(QStringLiteral("1.00.01"), left);
    version->setObjectName(QStringLiteral("lblVersao"));
    versionRow->addStretch();
    versionRow->addWidget(versionCaption);
    versionRow->addWidget(version);
    versionRow->addStretch();
    leftLayout->addLayout(versionRow);
    leftLayout->addStretch();
    layout->addWidget(left);

    auto* main = new QWidget(central);
    main->setObjectName(QStringLiteral("pnlPrincipal"));
    white(main);
    auto* mainLayout = new QVBoxLayout(main);
    auto* clockRow = new QHBoxLayout;
    auto* clockCaption = new QLabel(QStringLiteral("Data e hora do seu computador :"), main);
    clockCaption->setObjectName(QStringLiteral("lblDataHoraTitulo"));
    m_clock = new QLabel(QStringLiteral("..."), main);
    m_clock->setObjectName(QStringLiteral("lblDataHora"));
    QFont bold = m_clock->font();
    bold.setBold(true);
    m_clock->setFont(bold);
    clockRow->addWidget(clockCaption);
    clockRow->addWidget(m_clock);
    clockRow->addStretch();
    mainLayout->addLayout(clockRow);
    mainLayout->addStretch();
    layout->addWidget(main, 1);
    return central;
}

void TFrmPrincipal::tick()
{
    const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    const QDateTime now = QDateTime::currentDateTime();
    m_clock->setText(
        brazil.toString(now.date(), QLocale::ShortFormat) + u' ' + now.time().toString(QStringLiteral("HH:mm:ss")));
}

void TFrmPrincipal::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Maximised and then held there: the window refuses every resize.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        setGeometry(screen->availableGeometry());
        setFixedSize(screen->availableGeometry().size());
    }
}

void TFrmPrincipal::closeEvent(QCloseEvent* event)
{
    if (!m_prompts.confirmYesNo(kExitQuestion)) {
        event->ignore();
        return;
    }
    if (m_prompts.confirmYesNo(kBackupQuestion)) {
        QAction* backup = m_commands.action(QStringLiteral("actBackp"));
        if (backup && backup->isEnabled())
            backup->trigger(); // the backup window runs modally; whatever happens, we close
    }
    event->accept();
}

} // namespace jx::gui
