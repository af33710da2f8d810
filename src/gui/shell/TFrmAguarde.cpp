#include "TFrmAguarde.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>

namespace jx::gui {

TFrmAguarde::TFrmAguarde(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TFrmAguarde"));
    auto* layout = new QHBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Aguarde..."), this);
    label->setObjectName(QStringLiteral("lblAguarde"));
    QFont bold = label->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    label->setFont(bold);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    setStyleSheet(QStringLiteral("TFrmAguarde, QWidget#TFrmAguarde { background: white; border: 1px solid gray; }"));
    resize(220, 70);
}

void TFrmAguarde::start()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    QApplication::processEvents();
}

void TFrmAguarde::finish()
{
    hide();
}

void TFrmAguarde::showEvent(QShowEvent* event)
{
    if (!m_cursorSet) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_cursorSet = true;
    }
    QWidget::showEvent(event);
    QApplication::processEvents();
}

void TFrmAguarde::hideEvent(QHideEvent* event)
{
    if (m_cursorSet) {
        QApplication::restoreOverrideCursor();
        m_cursorSet = false;
    }
    QWidget::hideEvent(event);
}

} // namespace jx::gui
