#pragma once

#include "reports/ReportKit.h"

namespace jx {

class TdtmJX;

namespace report {

// "Relação de Pendências": the items of the last verification, one detail line each, with
// the two totals the list window counted; printed also when the list is empty.
class PendingReport {
public:
    // kind: 1 for a request, 0 for an enablement; the identification is read from the
    // current filing of that kind.
    static Report build(TdtmJX& jx, int kind, int errors, int warnings, const PrintContext& context);

    static inline const QString kRequestTitle = QStringLiteral("Relação de Pendências - Solicitação de Inscrição Estadual");
    static inline const QString kEnablementTitle
        = QStringLiteral("Relação de Pendências - Habilitação de Contabilista/Empresa Contábil");
    static inline const QString kRequestNotice = QStringLiteral(
        "Os ERROS impedem a gravação da Solicitação de Inscrição Estadual para entrega à ZKF, enquanto os AVISOS são apenas");
    static inline const QString kEnablementNotice = QStringLiteral("Os ERROS impedem a gravação da Habilitação de "
                                                                   "Contabilista/Empresa Contábil para entrega à ZKF, "
                                                                   "enquanto os AVISOS são apenas");
    static inline const QString kNoticeEnd = QStringLiteral("alertas que não impedem a gravação da mesma.");
};

} // namespace report
} // namespace jx
