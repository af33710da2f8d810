#include "CtlRunner.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace jxtest;

TEST(JxctlVersion, TwoLines)
{
    const CtlRun run = jxctl({ "versao" });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.outText(), QStringLiteral("1.00.00\n10000\n"));
}

TEST(JxctlDoc, VerdictsAndExitStatus)
{
    EXPECT_EQ(jxctl({ "doc", "cnpj", "11222333000181" }).outText(), QStringLiteral("válido\n"));
    EXPECT_EQ(jxctl({ "doc", "cnpj", "11.222.333/0001-81" }).status, 0);
    const CtlRun invalid = jxctl({ "doc", "cnpj", "11222333000182" });
    EXPECT_EQ(invalid.status, 1);
    EXPECT_EQ(invalid.outText(), QStringLiteral("inválido\n"));
    EXPECT_EQ(jxctl({ "doc", "cpf", "52998224725" }).status, 0);
    EXPECT_EQ(jxctl({ "doc", "nire", "91500080636" }).status, 0);
    EXPECT_EQ(jxctl({ "doc", "dae", "514171953627" }).status, 0);
    EXPECT_EQ(jxctl({ "doc", "email", "a@b.com" }).status, 0);
    EXPECT_EQ(jxctl({ "doc", "data", "29/02/2005" }).status, 1);
    EXPECT_EQ(jxctl({ "doc", "hora", "24:00:00" }).status, 0);
    EXPECT_EQ(jxctl({ "doc", "ie", "1234567890107" }).status, 0);
    EXPECT_EQ(jxctl({ "doc", "ie", "1234567890108" }).status, 1);
}

TEST(JxctlDoc, AlphanumericCnpj)
{
    EXPECT_EQ(jxctl({ "doc", "cnpj", "12ABC34501DE35" }).outText(), QStringLiteral("válido\n"));
    EXPECT_EQ(jxctl({ "doc", "cnpj", "12.ABC.345/01DE-35" }).status, 0);
    const CtlRun changed = jxctl({ "doc", "cnpj", "12ABC34501DF35" });
    EXPECT_EQ(changed.status, 1);
    EXPECT_EQ(changed.outText(), QStringLiteral("inválido\n"));
    EXPECT_EQ(jxctl({ "doc", "cnpj", "12ABC34501DE3F" }).status, 1); // a letter in the check digits
    // Lower case is not a character of a CNPJ; a CPF takes no letter at all.
    for (const QStringList& args : { QStringList { "doc", "cnpj", "12abc34501de35" },
             QStringList { "doc", "cpf", "5299822472A" }, QStringList { "doc", "nire", "9150008063A" } }) {
        const CtlRun run = jxctl(args);
        EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << args.join(' ').toStdString();
    }
}

TEST(JxctlDoc, GeneratedRegistrationsPassTheCheck)
{
    const CtlRun run = jxctl({ "doc", "gerar-ie", "5" });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.outText().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    for (const QString& ie : lines) {
        EXPECT_EQ(ie.size(), 13);
        EXPECT_EQ(jxctl({ "doc", "ie", ie }).status, 0) << ie.toStdString();
    }
}

TEST(JxctlMask, LaysDigits)
{
    EXPECT_EQ(jxctl({ "mascara", "cnpj", "11222333000181" }).outText(), QStringLiteral("11.222.333/0001-81\n"));
    EXPECT_EQ(jxctl({ "mascara", "telefone", "6133334444" }).outText(), QStringLiteral("(61)3333-4444\n"));
    EXPECT_EQ(jxctl({ "mascara", "cep", "7000" }).outText(), QStringLiteral("7000 -   \n"));
    EXPECT_EQ(jxctl({ "mascara", "ie", "1234567890107" }).outText(), QStringLiteral("123456789.01-07\n"));
}

TEST(JxctlMask, LettersOnlyInTheCnpjBase)
{
    const CtlRun run = jxctl({ "mascara", "cnpj", "12ABC34501DE35" });
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.outText(), QStringLiteral("12.ABC.345/01DE-35\n"));
    EXPECT_EQ(jxctl({ "mascara", "cnpj", "12AB" }).outText(), QStringLiteral("12.AB .   /    -  \n"));
    for (const QStringList& args : { QStringList { "mascara", "cnpj", "12abc34501de35" },
             QStringList { "mascara", "cnpj", "12ABC34501DE3F" }, QStringList { "mascara", "cpf", "5299822472A" },
             QStringList { "mascara", "cep", "7000A123" } }) {
        const CtlRun refused = jxctl(args);
        EXPECT_EQ(refused.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(refused.err.startsWith(QStringLiteral("jxctl: "))) << refused.err.toStdString();
    }
}

TEST(JxctlXmlSafe, WithAndWithoutAccents)
{
    EXPECT_EQ(jxctl({ "xmlseguro", "Ação <Ltda> & Cia" }).outText(), QStringLiteral("Acao (Ltda) &amp; Cia\n"));
    EXPECT_EQ(jxctl({ "xmlseguro", "--acentos", "Ação & Cia" }).outText(), QStringLiteral("Ação &amp; Cia\n"));
}

TEST(JxctlErrors, BadInputExitsTwoWithAPortugueseText)
{
    const QList<QStringList> bad {
        {},
        { "desconhecido" },
        { "doc", "rg", "123" },
        { "doc", "cnpj" },
        { "doc", "cnpj", "12abc" },
        { "doc", "cpf", "..." },
        { "doc", "gerar-ie", "zero" },
        { "doc", "gerar-ie", "0" },
        { "mascara", "cnpj", "12.3" },
        { "mascara", "rg", "123" },
        { "mascara", "cep", "123456789" },
        { "xmlseguro" },
        { "versao", "extra" },
    };
    for (const QStringList& args : bad) {
        const CtlRun run = jxctl(args);
        EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
        if (!args.isEmpty()) {
            EXPECT_TRUE(run.err.startsWith(QStringLiteral("jxctl: "))) << run.err.toStdString();
            EXPECT_TRUE(run.out.isEmpty()) << run.out.constData();
        }
    }
}

TEST(JxctlHelp, UsageOnHelp)
{
    const CtlRun run = jxctl({ "--help" });
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.outText().contains(QStringLiteral("jxctl doc TIPO VALOR")));
    EXPECT_TRUE(run.outText().contains(QStringLiteral("jxctl mascara TIPO DIGITOS")));
    EXPECT_TRUE(run.outText().contains(QStringLiteral("Códigos de saída:\n  0  feito")));
    EXPECT_TRUE(run.outText().contains(QStringLiteral("\n  1  resposta negativa ou arquivo recusado")));
    EXPECT_TRUE(run.outText().contains(QStringLiteral("\n  2  erro de uso ou de entrada")));
}
