#include "TFrmCadastroPadrao.h"

#include "Commands.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace jx::gui {

TFrmCadastroPadrao::TFrmCadastroPadrao(Commands& commands, QWidget* parent)
    : TFrmPadrao(parent, true)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* body = new QWidget(this);
    m_content = new QVBoxLayout(body);
    outer->addWidget(body, 1);

    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("pnlBotoes"));
    bar->setFrameShape(QFrame::StyledPanel);
    auto* buttons = new QHBoxLayout(bar);
    buttons->addStretch();
    auto makeButton = [&](const char* name, const char* command) {
        auto* button = new QToolButton(bar);
        button->setObjectName(QLatin1String(name));
        button->setDefaultAction(commands.action(QLatin1String(command)));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        buttons->addWidget(button);
        addAction(commands.action(QLatin1String(command)));
        return button;
    };
    m_save = makeButton("sbtSalvar", "actSalvarPadrao");
    m_cancel = makeButton("sbtCancelar", "actCancelarPadrao");
    m_help = makeButton("sbtAjuda", "actAjuda");
    // The same commands on the window's context menu.
    setContextMenuPolicy(Qt::ActionsContextMenu);
    outer->addWidget(bar);

    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("stbStatus"));
    m_status->setSizeGripEnabled(false);
    outer->addWidget(m_status);
}

} // namespace jx::gui
