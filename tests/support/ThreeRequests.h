#pragma once

#include "delivery/RsaKey.h"

#include "RequestFixture.h"

namespace jxtest {

// Three complete requests (status "C") on a program folder with its key pair; the queries
// tests compare the stored rows with.
class ThreeRequests : public RequestFixture {
protected:
    void SetUp() override
    {
        RequestFixture::SetUp();
        jx::RsaKeyPair::generate().save(m_folder.path() + "/BIN");
        for (const char* cnpj : { "11222333000181", "33344455000183", "44455566000183" }) {
            ASSERT_EQ(create(QString::fromLatin1(cnpj), "1234567890107").outcome,
                RequestLifecycle::Confirmation::Outcome::Opened);
            typeAddress(*m_jx->cdsSolicIEEndEstab);
            typeActivityEssentials();
            ASSERT_TRUE(m_life->save({ "01/02/2005", "", "" }).saved);
            ASSERT_EQ(m_jx->cdsSolicitacaoIE->text("STATUS"), "C");
            m_ids << m_jx->cdsSolicitacaoIE->value("ID_SOLICITACAO").toString();
        }
        m_jx->TipoAtual = 1;
    }

    QString status(const QString& id)
    {
        return text(QStringLiteral("SELECT STATUS FROM SOLICITACAO_IE WHERE ID_SOLICITACAO = %1").arg(id));
    }

    QString text(const QString& sql)
    {
        jx::db::Connection c;
        c.open(m_folder.databasePath(), jx::db::kDatabaseKey);
        jx::db::Statement s = c.prepare(sql);
        return s.step() ? s.text(0) : QStringLiteral("<none>");
    }

    // Every row of every table, for comparing a database before and after.
    QString dump()
    {
        jx::db::Connection c;
        c.open(m_folder.databasePath(), jx::db::kDatabaseKey);
        QString out;
        for (const jx::db::TableDef& table : jx::db::tables()) {
            jx::db::Statement s
                = c.prepare(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(QLatin1String(table.name)));
            while (s.step()) {
                for (int i = 0; i < s.columnCount(); ++i)
                    out += s.text(i) + u'|';
                out += u'\n';
            }
        }
        return out;
    }

    QStringList m_ids;
};

} // namespace jxtest
