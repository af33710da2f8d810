#include "Cli.h"

#include "Error.h"
#include "config/ProgramVersion.h"
#include "platform/StateRegistrationCheck.h"
#include "text/DocumentChecks.h"
#include "text/Masks.h"
#include "text/TextUtils.h"

#include <QRandomGenerator>

#include <map>

namespace jxctl {

namespace {

const QString kDocKinds = QStringLiteral("cnpj cpf nire dae ie email data hora");
const QString kMaskKinds = QStringLiteral("cnpj cpf ie nire dae cep telefone");

// Document numbers may be typed with their mask's punctuation; anything else is refused.
// A CNPJ may hold upper-case letters (the alphanumeric form); its check says whether they
// stand where letters may.
QString documentDigits(const QString& value, bool lettersToo)
{
    static const QString punctuation = QStringLiteral(".-/() ");
    QString digits;
    for (const QChar c : value) {
        if ((c >= u'0' && c <= u'9') || (lettersToo && c >= u'A' && c <= u'Z'))
            digits += c;
        else if (!punctuation.contains(c))
            throw UsageError(lettersToo
                    ? QStringLiteral("O valor \"%1\" deve conter apenas dígitos e letras maiúsculas.").arg(value)
                    : QStringLiteral("O valor \"%1\" deve conter apenas dígitos.").arg(value));
    }
    if (digits.isEmpty())
        throw UsageError(QStringLiteral("O valor \"%1\" não contém dígitos.").arg(value));
    return digits;
}

bool checkDocument(const QString& kind, const QString& value)
{
    if (kind == QLatin1String("email"))
        return jx::docs::emailLooksValid(value);
    if (kind == QLatin1String("data"))
        return jx::docs::dateIsValid(value);
    if (kind == QLatin1String("hora"))
        return jx::docs::timeIsValid(value);
    const QString digits = documentDigits(value, kind == QLatin1String("cnpj"));
    if (kind == QLatin1String("cnpj"))
        return jx::docs::cnpjIsValid(digits);
    if (kind == QLatin1String("cpf"))
        return jx::docs::cpfIsValid(digits);
    if (kind == QLatin1String("nire"))
        return jx::docs::nireIsValid(digits);
    if (kind == QLatin1String("dae"))
        return jx::docs::daeIsValid(digits);
    if (kind == QLatin1String("ie"))
        return jx::StateRegistrationCheck().isValid(digits);
    throw UsageError(QStringLiteral("Tipo de documento desconhecido: \"%1\". Tipos: %2.").arg(kind, kDocKinds));
}

// A valid registration of the home state: random base digits, check digits found by
// asking the library itself, so the generator can never disagree with the check.
QString generateRegistration(const jx::StateRegistrationCheck& check)
{
    for (;;) {
        QString base;
        for (int i = 0; i < 11; ++i)
            base += QChar(u'0' + QRandomGenerator::global()->bounded(10));
        for (int dv = 0; dv < 100; ++dv) {
            const QString candidate = base + QStringLiteral("%1").arg(dv, 2, 10, QChar(u'0'));
            if (check.isValid(candidate))
                return candidate;
        }
    }
}

int runDoc(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString usage = QStringLiteral("doc TIPO VALOR | doc gerar-ie N");
    if (args.value(0) == QLatin1String("gerar-ie")) {
        requireCount(args, 2, usage);
        bool ok = false;
        const int count = args[1].toInt(&ok);
        if (!ok || count < 1 || count > 100000)
            throw UsageError(QStringLiteral("Quantidade inválida: \"%1\" (de 1 a 100000).").arg(args[1]));
        const jx::StateRegistrationCheck check;
        for (int i = 0; i < count; ++i)
            out(generateRegistration(check));
        return 0;
    }
    requireCount(args, 2, usage);
    const bool valid = checkDocument(args[0], args[1]);
    out(valid ? QStringLiteral("válido") : QStringLiteral("inválido"));
    return valid ? 0 : 1;
}

int runMask(const QStringList& args)
{
    requireCount(args, 2, QStringLiteral("mascara TIPO DIGITOS"));
    static const std::map<QString, QString> masks {
        { QStringLiteral("cnpj"), jx::masks::kCnpjDisplay },
        { QStringLiteral("cpf"), jx::masks::kCpfDisplay },
        { QStringLiteral("ie"), jx::masks::kIe },
        { QStringLiteral("nire"), jx::masks::kNire },
        { QStringLiteral("dae"), jx::masks::kDae },
        { QStringLiteral("cep"), jx::masks::kCep },
        { QStringLiteral("telefone"), jx::masks::kTelefone },
    };
    const auto mask = masks.find(args[0]);
    if (mask == masks.end())
        throw UsageError(QStringLiteral("Tipo de máscara desconhecido: \"%1\". Tipos: %2.").arg(args[0], kMaskKinds));
    const QString& digits = args[1];
    const int positions = jx::masks::positionCount(mask->second);
    if (digits.size() > positions)
        throw UsageError(QStringLiteral("O valor tem %1 caracteres; a máscara de %2 comporta %3.")
                             .arg(digits.size())
                             .arg(args[0])
                             .arg(positions));
    // An empty value gives the empty picture, as an empty field shows it.
    if (!jx::masks::accepts(digits, mask->second)) {
        throw UsageError(args[0] == QLatin1String("cnpj")
                ? QStringLiteral("O valor \"%1\" deve conter letras maiúsculas ou dígitos nas doze primeiras posições e "
                                 "dígitos nas duas últimas.")
                      .arg(digits)
                : QStringLiteral("O valor \"%1\" deve conter apenas dígitos.").arg(digits));
    }
    out(jx::masks::apply(digits, mask->second));
    return 0;
}

int runXmlSafe(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const bool keepAccents = takeFlag(args, QStringLiteral("--acentos"));
    requireCount(args, 1, QStringLiteral("xmlseguro [--acentos] TEXTO"));
    out(jx::text::xmlSafe(args[0], keepAccents));
    return 0;
}

int runVersion(const QStringList& args)
{
    requireCount(args, 0, QStringLiteral("versao"));
    out(jx::version::text(true));
    out(jx::version::text(false));
    return 0;
}

} // namespace

std::vector<Command> docCommands()
{
    return {
        { QStringLiteral("versao"), QStringLiteral("versao"), runVersion },
        { QStringLiteral("doc"),
            QStringLiteral("doc TIPO VALOR   (TIPO: ") + kDocKinds + QStringLiteral(")\n  jxctl doc gerar-ie N"),
            runDoc },
        { QStringLiteral("mascara"),
            QStringLiteral("mascara TIPO DIGITOS   (TIPO: ") + kMaskKinds
                + QStringLiteral("; o CNPJ alfanumérico leva letras maiúsculas)"),
            runMask },
        { QStringLiteral("xmlseguro"), QStringLiteral("xmlseguro [--acentos] TEXTO"), runXmlSafe },
    };
}

} // namespace jxctl
