#include "Commands.h"

#include "CommandTable.h"
#include "StandardIcons.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

namespace jx::gui {

namespace {

QStyle::StandardPixmap pictureFor(const CommandDef& def)
{
    const QString name = QLatin1String(def.name);
    const QString hint = QString::fromUtf8(def.hint);
    if (name == QLatin1String("actAjuda"))
        return QStyle::SP_DialogHelpButton;
    if (name == QLatin1String("actSobre"))
        return QStyle::SP_MessageBoxInformation;
    if (name == QLatin1String("actSairPrincipal"))
        return QStyle::SP_DialogCloseButton;
    if (hint == QLatin1String("Inserir"))
        return QStyle::SP_FileIcon;
    if (hint == QLatin1String("Editar"))
        return QStyle::SP_FileDialogDetailedView;
    if (hint == QLatin1String("Excluir"))
        return QStyle::SP_TrashIcon;
    if (hint == QLatin1String("Pesquisar"))
        return QStyle::SP_FileDialogContentsView;
    if (QString::fromUtf8(def.caption).contains(QLatin1String("Salvar")) || hint == QLatin1String("OK"))
        return QStyle::SP_DialogSaveButton;
    if (QString::fromUtf8(def.caption).contains(QLatin1String("Cancelar")))
        return QStyle::SP_DialogCancelButton;
    if (QString::fromUtf8(def.caption).contains(QLatin1String("Fechar")))
        return QStyle::SP_DialogCloseButton;
    const QString category = QString::fromUtf8(def.category);
    if (category == QLatin1String("Entregas"))
        return name == QLatin1String("actEntrega_Disquete") ? QStyle::SP_DriveFDIcon : QStyle::SP_DriveNetIcon;
    if (category == QLatin1String("Backup"))
        return QStyle::SP_DialogSaveButton;
    if (category == QLatin1String("Restauracao"))
        return QStyle::SP_BrowserReload;
    if (category == QLatin1String("Protocolo"))
        return QStyle::SP_FileDialogInfoView;
    if (category == QLatin1String("Solicitacao_Contab"))
        return QStyle::SP_DirHomeIcon;
    return QStyle::SP_FileDialogNewFolder;
}

// An open pop-up (a combo's list, a completer, a menu) takes its own Esc: without this the
// window's Esc command (Cancelar/Fechar) would run first and close or question the window.
class PopupKeysFirst : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride && QApplication::activePopupWidget()) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
                key->accept(); // delivered as a key press to the pop-up, not as a shortcut
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

Commands::Commands(QObject* parent)
    : QObject(parent)
{
    for (const CommandDef& def : commandTable()) {
        auto* action = new QAction(this);
        action->setObjectName(QLatin1String(def.name));
        action->setText(QString::fromUtf8(def.caption));
        action->setToolTip(QString::fromUtf8(def.hint));
        action->setStatusTip(QString::fromUtf8(def.hint));
        action->setProperty("category", QString::fromUtf8(def.category));
        if (*def.shortcut)
            action->setShortcut(QKeySequence(QLatin1String(def.shortcut)));
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            action->setIcon(standardIcon(pictureFor(def)));
        action->setEnabled(def.built);
        m_actions.insert(action->objectName(), action);
    }

    // Generic commands: they act on whatever window is active when they run.
    connect(action("actSalvarPadrao"), &QAction::triggered, this, [] {
        if (auto* dialog = qobject_cast<QDialog*>(activeWindow()))
            dialog->done(QDialog::Accepted);
    });
    connect(action("actCancelarPadrao"), &QAction::triggered, this, [] {
        if (auto* dialog = qobject_cast<QDialog*>(activeWindow()))
            dialog->done(QDialog::Rejected);
        else if (QWidget* window = activeWindow())
            window->close();
    });
    for (const char* name : { "actFecharPadrao", "actSairPrincipal" }) {
        connect(action(QLatin1String(name)), &QAction::triggered, this, [] {
            if (QWidget* window = activeWindow())
                window->close();
        });
    }
    connect(action("actAjuda"), &QAction::triggered, this, [this] {
        if (showHelp)
            showHelp(helpTopicOf(activeWindow()));
    });
    connect(action("actSobre"), &QAction::triggered, this, [this] {
        if (showAbout)
            showAbout();
    });

    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        qApp->installEventFilter(new PopupKeysFirst(this));

    auto* idle = new QTimer(this);
    idle->setInterval(200);
    connect(idle, &QTimer::timeout, this, &Commands::runUpdateRules);
    idle->start();
}

QAction* Commands::action(const QString& name) const
{
    return m_actions.value(name);
}

void Commands::setUpdateRule(const QString& name, std::function<bool()> rule)
{
    m_rules.insert(name, std::move(rule));
}

void Commands::runUpdateRules()
{
    for (auto it = m_rules.cbegin(); it != m_rules.cend(); ++it) {
        if (QAction* a = action(it.key()))
            a->setEnabled(it.value()());
    }
}

QWidget* Commands::activeWindow()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QToolButton* makeCommandButton(QWidget* parent, Commands& commands, const QString& name)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("btn_") + name);
    button->setDefaultAction(commands.action(name));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

QAction* makeMenuEntry(QWidget* owner, Commands& commands, const QString& name)
{
    QAction* command = commands.action(name);
    auto* entry = new QAction(command->icon(), command->text(), owner);
    entry->setObjectName(QStringLiteral("mnu_") + name);
    entry->setToolTip(command->toolTip());
    entry->setStatusTip(command->statusTip());
    entry->setEnabled(command->isEnabled());
    QObject::connect(command, &QAction::changed, entry, [command, entry] { entry->setEnabled(command->isEnabled()); });
    QObject::connect(entry, &QAction::triggered, command, [command] { command->trigger(); });
    return entry;
}

int helpTopicOf(const QWidget* window)
{
    return window ? window->property("helpTopic").toInt() : 0;
}

} // namespace jx::gui
