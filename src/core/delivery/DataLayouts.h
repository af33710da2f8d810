#pragma once

#include <QStringList>
#include <QVariant>

namespace jx {

class TdtmJX;

namespace data {
class RecordSet;
}

// The data sections of the delivery files: one element per line, no indentation, built from
// the current filing and the record sets that hold its details and deliveries.
class DataLayouts {
public:
    explicit DataLayouts(TdtmJX& jx);
    // The backup's form: every free text keeps what was typed (accents included, the XML
    // specials escaped) and every stored moment is written whole, so that a restore brings
    // back the filing as it was. The delivery file keeps the form the authority reads.
    void setBackupForm(bool on) { m_backup = on; }

    // The lines of the current request's (enablement's) data section. Throws jx::Error when a
    // value cannot go into a file (a control character): the filing must then get no file.
    QStringList MontarDadosSolicitacao();
    QStringList MontarDadosHabilitacao();
    // The delivery records of a filing into cdsEntregas: kind 1 a request, any other an enablement.
    void AbrirEntregas(int kind, qint64 id);

    // The value forms.
    static QString wholeText(const QVariant& value);
    static QString realText(const QVariant& value);
    static QString moneyText(const QVariant& value);
    static QString dateText(const QVariant& value);
    static QString dateTimeText(const QVariant& value);
    // "yyyymmddhhnnss" of a stored moment (the file names); empty when it is none.
    static QString momentDigits(const QVariant& value);
    // A value written as stored: the XML specials escaped, so that a reader gets it back.
    static QString escaped(const QString& text);
    // N: accents dropped, "<" ">" as parentheses, "&" as "&amp;".
    static QString normalised(const QString& text);
    // N1: accents kept, "&" as "&amp;", then "<" ">" as "&lt;" "&gt;".
    static QString receiptText(const QString& text);

private:
    void leaf(const char* name, const QString& value);
    static void refuseControls(const char* name, const QString& value);
    // An attribute's value: escaped, its quotes too.
    static QString attributeValue(const char* name, const QString& value);
    void open(const char* name) { m_lines << u'<' + QLatin1String(name) + u'>'; }
    void close(const char* name) { m_lines << QStringLiteral("</") + QLatin1String(name) + u'>'; }
    void addressGroup(const data::RecordSet& address);
    void contactGroup(const data::RecordSet& contact);
    void deliveries(int kind, qint64 id);
    QString lookup(data::RecordSet& reference, const char* keyField, const QVariant& key, const char* textField);
    QString text(const data::RecordSet& set, const char* field) const;
    // A free text in the file's form: N (normalised) for the authority, as typed in a backup.
    QString freeText(const QString& text) const { return m_backup ? escaped(text) : normalised(text); }
    // A date the delivery file writes as a date only; a backup keeps its time of day.
    QString dayText(const QVariant& value) const { return m_backup ? dateTimeText(value) : dateText(value); }

    TdtmJX& m_jx;
    QStringList m_lines;
    bool m_backup = false;
};

} // namespace jx
