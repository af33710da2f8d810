#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace jx {

class TdtmJX;

namespace data {
class RecordSet;
}

// The receipt text frozen into a delivery when its protocol is recorded: a plain summary of
// the filing as it was then, printed later exactly as stored.
class Receipts {
public:
    explicit Receipts(TdtmJX& jx);

    // Writes the RECIBO field of cdsEntregas (which the caller keeps in edit or insert state)
    // with the text of the current request / enablement, as Windows-1252 bytes, each line
    // ending CR LF. The partner, responsible-person and linked-list cursors are left on
    // their last rows; no other cursor moves.
    void GerarReciboSolicitacao();
    void GerarReciboHabilitacao();
    // The lines themselves (without line ends).
    QStringList requestLines();
    QStringList enablementLines();

    // The lines joined, each followed by CR LF, as Windows-1252 bytes.
    static QByteArray receiptBytes(const QStringList& lines);
    // Characters the code page lacks become "?" (one per character, not per UTF-16 unit).
    static QByteArray windows1252(const QString& text);
    static QString fromWindows1252(const QByteArray& bytes);

    // The description of a key in a reference table, read from the table itself (every row,
    // whatever its validity): empty when the key is null or has no row.
    QString describe(const char* table, const char* keyColumn, const QVariant& key, const char* column);
    // "COD_FORMATADO DESCRICAO" of an activity.
    QString cnaef(const QVariant& key);

private:
    void addressBlock(const data::RecordSet& address);
    void complementLines(const data::RecordSet& address);
    void contactBlock(const data::RecordSet& contact);
    void partnerBlock();
    void responsibleBlock();
    // Lines 23 and 24 of the request: four items a line.
    void listOfFour(data::RecordSet& list, const char* itemField, const QString& label, int indent);
    void storeReceipt(const QStringList& lines);

    TdtmJX& m_jx;
    QStringList m_lines;
};

} // namespace jx
