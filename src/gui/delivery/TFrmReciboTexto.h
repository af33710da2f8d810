#pragma once

#include "TFrmPadrao.h"

#include <QByteArray>
#include <QVariant>

class QPlainTextEdit;

namespace jx::gui {

class Commands;

// "Recibo de Entrega": a delivery's stored receipt text, read-only, in a fixed-pitch font
// (the text is laid out in columns).
class TFrmReciboTexto : public TFrmPadrao {
    Q_OBJECT

public:
    TFrmReciboTexto(Commands& commands, const QString& text, QWidget* parent = nullptr);

    QPlainTextEdit* text() const { return m_text; }

    static inline const QString kCaption = QStringLiteral("Recibo de Entrega");
    // The stored receipt under its protocol number, date and time, as a receipt shows it.
    static QString compose(const QString& number, const QVariant& moment, const QByteArray& receipt);

private:
    QPlainTextEdit* m_text;
};

} // namespace jx::gui
