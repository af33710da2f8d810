#include "data/RecordSet.h"
#include "data/RowCells.h"
#include "data/TdtmJX.h"
#include "db/Schema.h"
#include "db/Sqlite.h"
#include "platform/ScriptedPrompts.h"

#include <gtest/gtest.h>

#include "../support/TestDatabase.h"

using namespace jx;
using namespace jxtest;
using data::RecordSet;
namespace cells = data::cells;

TEST(RowCells, EveryKindOfValueComesBackAsTheEngineGaveIt)
{
    const QVector<QVariant> values { QVariant(), QVariant(qint64(-7)), QVariant(33.25), QVariant(QString()),
        QVariant(QStringLiteral("AÇÃO é")), QVariant(QByteArray("a\0b", 3)), QVariant(qint64(1) << 60) };
    const QByteArray row = cells::fromValues(values);
    ASSERT_EQ(cells::width(row), 7);
    EXPECT_TRUE(cells::value(row, 0).isNull());
    EXPECT_EQ(cells::value(row, 1).typeId(), QMetaType::LongLong);
    EXPECT_EQ(cells::value(row, 1).toLongLong(), -7);
    EXPECT_EQ(cells::value(row, 2).toDouble(), 33.25);
    EXPECT_EQ(cells::value(row, 3).typeId(), QMetaType::QString);
    EXPECT_TRUE(cells::value(row, 3).toString().isEmpty());
    EXPECT_EQ(cells::value(row, 4).toString(), QStringLiteral("AÇÃO é"));
    EXPECT_EQ(cells::value(row, 5).toByteArray(), QByteArray("a\0b", 3));
    EXPECT_EQ(cells::value(row, 6).toLongLong(), qint64(1) << 60);
    EXPECT_TRUE(cells::value(row, 7).isNull()); // past the last cell
}

TEST(RowCells, ACellChangedAndChangedBackGivesTheSameBytesAndLeavesTheSharedOriginal)
{
    const QByteArray original = cells::fromValues({ QVariant(qint64(1)), QVariant(QStringLiteral("PRIMEIRO")),
        QVariant(QStringLiteral("MEIO")), QVariant(2.5) });
    QByteArray row = original; // shared, as a freshly read row is
    cells::set(row, 0, qint64(9)); // in place: the shared bytes must be copied first
    EXPECT_EQ(cells::value(original, 0).toLongLong(), 1);
    cells::set(row, 2, QStringLiteral("UM TEXTO BEM MAIS LONGO"));
    EXPECT_EQ(cells::value(original, 2).toString(), QStringLiteral("MEIO"));
    EXPECT_EQ(cells::value(original, 0).toLongLong(), 1);
    EXPECT_EQ(cells::value(row, 1).toString(), QStringLiteral("PRIMEIRO"));
    EXPECT_EQ(cells::value(row, 3).toDouble(), 2.5);
    cells::set(row, 2, QStringLiteral("MEIO"));
    cells::set(row, 0, qint64(1));
    EXPECT_EQ(row, original);
    cells::set(row, 3, QVariant());
    cells::set(row, 3, 2.5);
    EXPECT_EQ(row, original);
}

namespace {

class RowStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_c.open(m_folder.databasePath(), db::kDatabaseKey);
        // Four rows; the phone of the second and the fourth is the same.
        m_c.exec("INSERT INTO COMUNICACAO (ID_COMUNICACAO, TELEFONE, EMAIL) VALUES (10, '611', 'a@b.com'), "
                 "(20, '622', NULL), (30, '633', 'c@d.com'), (40, '622', 'e@f.com')");
        m_set.setSource("SELECT * FROM COMUNICACAO ORDER BY ID_COMUNICACAO", "COMUNICACAO", "ID_COMUNICACAO");
        m_set.open(m_c);
    }

    TestProgramFolder m_folder;
    db::Connection m_c;
    RecordSet m_set { "cdsTeste" };
};

} // namespace

TEST_F(RowStore, AnEditTurnedBackIsNoChangeAndARealOneKeepsItsOriginal)
{
    ASSERT_TRUE(m_set.moveTo(2));
    m_set.setValue("EMAIL", "outro@d.com");
    m_set.setValue("EMAIL", "c@d.com");
    m_set.post();
    EXPECT_EQ(m_set.pendingCount(), 0);

    m_set.setValue("EMAIL", "novo@d.com");
    m_set.post();
    ASSERT_EQ(m_set.pendingCount(), 1);
    const int raw = m_set.rawRowAt(2);
    EXPECT_EQ(m_set.originalValues(raw).value(m_set.fieldIndex("EMAIL")).toString(), QStringLiteral("c@d.com"));
    EXPECT_TRUE(m_set.isModified(raw, m_set.fieldIndex("EMAIL")));
    EXPECT_FALSE(m_set.isModified(raw, m_set.fieldIndex("TELEFONE")));
    // The other rows are untouched.
    EXPECT_EQ(m_set.valueAt(1, m_set.fieldIndex("EMAIL")), QVariant());
    EXPECT_EQ(m_set.valueAt(3, m_set.fieldIndex("EMAIL")).toString(), QStringLiteral("e@f.com"));

    m_set.cancelUpdates();
    EXPECT_EQ(m_set.valueAt(2, m_set.fieldIndex("EMAIL")).toString(), QStringLiteral("c@d.com"));
}

TEST_F(RowStore, LocateFindsTheFirstVisibleEqualNumberAfterEveryChangeOfRowsOrValues)
{
    EXPECT_TRUE(m_set.locate("ID_COMUNICACAO", 30));
    EXPECT_EQ(m_set.recNo(), 2);
    EXPECT_TRUE(m_set.locate("ID_COMUNICACAO", 20.0)); // a whole double equals the integer
    EXPECT_EQ(m_set.recNo(), 1);
    EXPECT_FALSE(m_set.locate("ID_COMUNICACAO", 25));
    EXPECT_EQ(m_set.recNo(), 1);

    // The key changed in a row: the old value is gone, the new one found.
    ASSERT_TRUE(m_set.moveTo(2));
    m_set.setValue("ID_COMUNICACAO", 35);
    m_set.post();
    EXPECT_FALSE(m_set.locate("ID_COMUNICACAO", 30));
    EXPECT_TRUE(m_set.locate("ID_COMUNICACAO", 35));
    EXPECT_EQ(m_set.recNo(), 2);

    // Filtered out rows are not found; sorted, the first visible equal row is.
    m_set.setFilter([](const RecordSet& s, int raw) { return s.rawValue(raw, "ID_COMUNICACAO").toInt() != 35; });
    EXPECT_FALSE(m_set.locate("ID_COMUNICACAO", 35));
    m_set.clearFilter();
    m_set.sortBy("EMAIL"); // nulls first: 20 leads
    EXPECT_TRUE(m_set.locate("ID_COMUNICACAO", 20));
    EXPECT_EQ(m_set.recNo(), 0);

    // A text among numbers in the field still compares as before.
    m_set.setValue("TELEFONE", "622");
    m_set.post();
    EXPECT_TRUE(m_set.locate("TELEFONE", 622));
    EXPECT_EQ(m_set.value("ID_COMUNICACAO").toInt(), 20);
}

TEST_F(RowStore, AReopenKeepsLabelsAndMemoryFieldsAndANewStatementLaysTheFieldsOutAgain)
{
    m_set.setLabel("TELEFONE", "Telefone da empresa");
    m_set.open(m_c);
    EXPECT_EQ(m_set.field(m_set.fieldIndex("TELEFONE")).label, QStringLiteral("Telefone da empresa"));
    EXPECT_EQ(m_set.count(), 4);

    RecordSet marked("cdsMarcado");
    marked.setSource("SELECT * FROM COMUNICACAO ORDER BY ID_COMUNICACAO", "COMUNICACAO", "ID_COMUNICACAO");
    marked.addMemoryField("ID", data::FieldType::Integer, 0, "ID");
    marked.open(m_c);
    marked.setMarks("ID", [](int raw) { return QVariant(raw == 2 ? 1 : 2); });
    EXPECT_EQ(marked.pendingCount(), 0);
    marked.open(m_c);
    EXPECT_TRUE(marked.valueAt(2, marked.fieldIndex("ID")).isNull()); // marks go with the rows read
    EXPECT_EQ(marked.valueAt(2, marked.fieldIndex("ID_COMUNICACAO")).toInt(), 30);

    m_set.setSql("SELECT EMAIL, ID_COMUNICACAO FROM COMUNICACAO WHERE EMAIL IS NOT NULL ORDER BY ID_COMUNICACAO");
    m_set.open(m_c);
    EXPECT_EQ(m_set.fieldCount(), 2);
    EXPECT_EQ(m_set.fieldIndex("TELEFONE"), -1);
    EXPECT_EQ(m_set.fieldIndex("EMAIL"), 0);
    EXPECT_EQ(m_set.count(), 3);
    EXPECT_EQ(m_set.valueAt(1, 1).toInt(), 30);
}

TEST_F(RowStore, ACachedStatementIsNeverSharedAndComesBackWithoutItsBindings)
{
    const QString sql = QStringLiteral("SELECT TELEFONE FROM COMUNICACAO WHERE ID_COMUNICACAO = ? OR ? IS NULL "
                                       "ORDER BY ID_COMUNICACAO");
    {
        db::Statement outer = m_c.cached(sql);
        outer.bind(1, 20);
        outer.bind(2, 0);
        ASSERT_TRUE(outer.step());
        db::Statement inner = m_c.cached(sql); // while the first is in use: one of its own
        inner.bind(1, 40);
        inner.bind(2, 0);
        ASSERT_TRUE(inner.step());
        EXPECT_EQ(outer.text(0), QStringLiteral("622"));
        EXPECT_FALSE(outer.step());
        EXPECT_TRUE(inner.step() == false);
    }
    db::Statement again = m_c.cached(sql); // unbound: every row
    int rows = 0;
    while (again.step())
        ++rows;
    EXPECT_EQ(rows, 4);
}

TEST_F(RowStore, AStatementThatOutlivesItsConnectionIsFinalizedSafely)
{
    db::Statement held = m_c.cached(QStringLiteral("SELECT COUNT(*) FROM COMUNICACAO"));
    ASSERT_TRUE(held.step());
    EXPECT_EQ(held.int64(0), 4);
    m_c.close(); // the engine keeps the handle until the statement goes
}

namespace {

class DetailReads : public ::testing::Test {
protected:
    void SetUp() override
    {
        db::Connection c;
        c.open(m_folder.databasePath(), db::kDatabaseKey);
        for (int id = 1; id <= 3; ++id) {
            c.exec(QStringLiteral("INSERT INTO SOLICITACAO_IE (ID_SOLICITACAO, CNPJ, NOME_EMPRESARIAL, STATUS) VALUES "
                                  "(%1, '11222333000181', 'EMPRESA %1', 'I')")
                       .arg(id));
            c.exec(QStringLiteral("INSERT INTO SOLICITACAO_IE_SOCIO (ID_SOLICITACAO, ID_SOCIO, IDENTIFICACAO, "
                                  "TIPO_IDENTIFICACAO) VALUES (%1, %2, '52998224725', 4), (%1, %3, '11144477735', 4)")
                       .arg(id)
                       .arg(id * 10)
                       .arg(id * 10 + 1));
        }
        m_db = std::make_unique<TdtmDB>(m_folder.path(), m_prompts, [] {});
        m_jx = std::make_unique<TdtmJX>(*m_db, m_prompts, [] {}, m_folder.path());
    }

    TestProgramFolder m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<TdtmDB> m_db;
    std::unique_ptr<TdtmJX> m_jx;
};

} // namespace

TEST_F(DetailReads, AMoveReadsTheDetailsInATransactionOfItsOwnButNeverEndsTheCallers)
{
    RecordSet& requests = *m_jx->cdsSolicitacaoIE;
    db::Connection& c = m_db->connection();
    ASSERT_TRUE(requests.moveTo(1));
    EXPECT_FALSE(c.inTransaction());
    EXPECT_EQ(m_jx->cdsSolicitacao_IE_Socio->count(), 2);
    EXPECT_EQ(m_jx->cdsSolicitacao_IE_Socio->value("ID_SOCIO").toInt(), 20);

    // A write of the caller's, then a move: the write stays the caller's to commit or undo.
    {
        db::Transaction work(c);
        c.exec("UPDATE SOLICITACAO_IE SET NOME_EMPRESARIAL = 'DESFEITA' WHERE ID_SOLICITACAO = 3");
        ASSERT_TRUE(requests.moveTo(2));
        EXPECT_TRUE(c.inTransaction());
        EXPECT_EQ(m_jx->cdsSolicitacao_IE_Socio->value("ID_SOCIO").toInt(), 30);
    }
    EXPECT_FALSE(c.inTransaction());
    db::Statement name = c.prepare("SELECT NOME_EMPRESARIAL FROM SOLICITACAO_IE WHERE ID_SOLICITACAO = 3");
    ASSERT_TRUE(name.step());
    EXPECT_EQ(name.text(0), QStringLiteral("EMPRESA 3"));
}

TEST_F(DetailReads, AnotherConnectionsCommitIsSeenByTheNextMove)
{
    RecordSet& requests = *m_jx->cdsSolicitacaoIE;
    ASSERT_TRUE(requests.moveTo(1));
    db::Connection other;
    other.open(m_folder.databasePath(), db::kDatabaseKey);
    other.exec("UPDATE SOLICITACAO_IE_SOCIO SET IDENTIFICACAO = '12345678909' WHERE ID_SOCIO = 30");
    ASSERT_TRUE(requests.moveTo(2));
    EXPECT_EQ(m_jx->cdsSolicitacao_IE_Socio->text("IDENTIFICACAO"), QStringLiteral("12345678909"));
}
