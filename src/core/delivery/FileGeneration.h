#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace jx {

class TdtmJX;
class UserPrompts;

namespace data {
class RecordSet;
}

// What a file name of this program says: identifier type, identifier, kind letter ("S", "H",
// or "B" for a database copy), extension with its dot, date d/m/y and time h:m:s as written.
struct TInfArquivo {
    QString tipoIdentificador;
    QString identificador;
    QString tipo;
    QString extensao;
    QString data;
    QString hora;

    // The moment of the name as "yyyyMMddhhmmss", to compare with a stored creation moment.
    QString momentDigits() const
    {
        return data.mid(6, 4) + data.mid(3, 2) + data.left(2) + hora.left(2) + hora.mid(3, 2) + hora.mid(6, 2);
    }
};

// Whether a file name (without folder) is one of this program's, filling info.
bool LerNomeArquivo(const QString& name, TInfArquivo& info);

// Delivery files from filings: one plain, unstamped file per filing that passes the
// verification, named after the filing, in a working folder.
class FileGeneration {
public:
    FileGeneration(TdtmJX& jx, const QString& programFolder);

    // The filings of the current kind (TipoAtual) at the given rows of its record set, in that
    // order; no rows: the current one. Returns the files written; ids gets the identifier of
    // each, parallel; failures the identifier of each filing that got no file. folder empty:
    // the working folder.
    QStringList GerarArquivos(const QList<int>& rows, QStringList& ids, const QString& folder, QStringList& failures);
    // Writes the current filing's file; throws jx::Error with the reason it could not.
    void GerarArquivoEntrega(const QString& file);
    // The file name of the current filing (without folder).
    QString fileName() const;
    QString workingFolder() const;
    // Applied to each file's bytes before they are written (the diskette form is sealed in
    // memory, so no plain data section reaches the disk); false fails the filing, its failure
    // already shown.
    void setSeal(std::function<bool(QByteArray& bytes, const QString& file)> seal) { m_seal = std::move(seal); }
    // Backups: the data section keeps every typed text and moment whole (DataLayouts).
    void setBackupForm(bool on) { m_backupForm = on; }
    // Where the key pair is loaded from; the program's keys folder unless set.
    void setKeysFolder(const QString& folder) { m_keysFolder = folder; }
    // Why the last filings failed, by identifier (for the callers' reports).
    const QStringList& failureReasons() const { return m_reasons; }

private:
    data::RecordSet& filings() const;

    TdtmJX& m_jx;
    QString m_programFolder;
    QStringList m_reasons;
    QString m_keysFolder;
    std::function<bool(QByteArray&, const QString&)> m_seal;
    bool m_backupForm = false;
};

} // namespace jx
