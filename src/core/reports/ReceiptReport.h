#pragma once

#include "reports/ReportKit.h"

#include <QByteArray>
#include <QVariant>

namespace jx {

namespace data {
class RecordSet;
}

namespace report {

// The printed delivery receipt: the stored receipt text under the heading and the protocol
// number, date and time of the delivery.
class ReceiptReport {
public:
    struct Delivery {
        QString protocol;
        QVariant moment; // DATAHORAPROTOCOLO
        QByteArray receipt; // RECIBO as stored (Windows-1252, CR LF)
    };

    // request: the request's report (TscrRptReciboSolicitacaoIE), else the enablement's.
    static Report build(bool request, const Delivery& delivery, const PrintContext& context);
    // The current row of a deliveries set.
    static Delivery currentDelivery(const data::RecordSet& deliveries);

    // The receipt as text, as the printed one shows it: title, protocol number, date and time of
    // the protocol, an empty line, then the stored text; lines end in CR LF.
    static QString plainText(bool request, const Delivery& delivery);

    // The receipt text's lines as stored (the line end after the last one ends it, it does
    // not start another).
    static QStringList receiptLines(const QByteArray& stored);

    static inline const QString kRequestTitle
        = QStringLiteral("Recibo de Transmissão da Solicitação de Inscrição Estadual");
    static inline const QString kEnablementTitle
        = QStringLiteral("Recibo de Transmissão da Habilitação de Contabilista/Empresa Contábil");
};

} // namespace report
} // namespace jx
