#pragma once

#include "reports/ReportKit.h"

namespace jx {

class TdtmJX;

namespace report {

// The paper forms of a filing: a request with a page for the establishment, one for each
// partner and one for each responsible person (TscrRptSolicitacao), or an enablement on one
// page (TscrRptHabilitacao). Read from the data module's current rows; nothing is written
// and every cursor the print moves goes back where it was.
class FilingPrintouts {
public:
    // qrSolicitacao, then qrSocio when the request has partners, then qrResponsavel when it
    // has responsible persons.
    static std::vector<Report> request(TdtmJX& jx, const PrintContext& context);
    static Report enablement(TdtmJX& jx, const PrintContext& context);

    static inline const QString kRequestTitle = QStringLiteral("Solicitação de Inscrição Estadual");
    static inline const QString kEnablementTitle = QStringLiteral("Habilitação de Contabilista/Empresa Contábil");
    // Fixed in the design: it does not follow the program's version.
    static inline const QString kFooterText = QStringLiteral("JX 1.00.00");
};

} // namespace report
} // namespace jx
