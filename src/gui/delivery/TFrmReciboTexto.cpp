#include "TFrmReciboTexto.h"

#include "delivery/DataLayouts.h"
#include "delivery/Receipts.h"

#include "Commands.h"

#include <QAction>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace jx::gui {

TFrmReciboTexto::TFrmReciboTexto(Commands& commands, const QString& text, QWidget* parent)
    : TFrmPadrao(parent)
{
    setObjectName(QStringLiteral("TFrmReciboTexto"));
    setWindowTitle(kCaption);
    auto* layout = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("memRecibo"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The stored text ends its lines with CR LF.
    m_text->setPlainText(QString(text).remove(u'\r'));
    layout->addWidget(m_text, 1);
    auto* bar = new QHBoxLayout;
    bar->addStretch();
    bar->addWidget(makeCommandButton(this, commands, QStringLiteral("actFecharPadrao")));
    addAction(commands.action(QStringLiteral("actFecharPadrao")));
    layout->addLayout(bar);
    // Wide enough for the receipt's 126-column headings without a scroll.
    const int columns = m_text->fontMetrics().horizontalAdvance(QString(132, u'0'));
    resize(columns + 60, 560);
}

QString TFrmReciboTexto::compose(const QString& number, const QVariant& moment, const QByteArray& receipt)
{
    const QString when = DataLayouts::dateTimeText(moment);
    return QStringLiteral("Número do Protocolo: ") + number.trimmed() + QStringLiteral("\nData/Hora do Protocolo: ")
        + when + QStringLiteral("\n\n") + Receipts::fromWindows1252(receipt);
}

} // namespace jx::gui
