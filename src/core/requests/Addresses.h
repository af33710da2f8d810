#pragma once

#include <QString>
#include <QStringList>

namespace jx {

class TdtmJX;

namespace data {
class RecordSet;
}

// Addresses and communication rows of every owner: the scratch copy the address form works
// on, its checks, and the persistence steps the owners' saves run.
class Addresses {
public:
    enum class Owner { Establishment, Correspondence, Partner, Responsible, Enablement };

    explicit Addresses(TdtmJX& jx);

    // The fields copied between an owner's address row and the scratch row, in order.
    static const QStringList& copiedFields();

    // Puts the scratch row (cdsEnderco) on the owner's address: the stored row when the link
    // names one, else a new row; then copies the target's current row into it.
    void CarregarEndereco(const QVariant& link, data::RecordSet& target);
    // After Salvar: copies the scratch row back into the target (in insert or edit state)
    // and discards the scratch row, which never reaches the database.
    void DevolverEndereco(data::RecordSet& target);
    // Without Salvar: the scratch row is discarded.
    void discardScratch();

    // The form's checks in order; empty message when the address passes. focusField names
    // the column whose control takes the focus.
    struct Check {
        QString message;
        QString focusField;
        bool ok() const { return message.isEmpty(); }
    };
    static Check check(const data::RecordSet& scratch);

    // Both return false when a row was refused (its message shown); the owner's save must
    // stop then.
    bool GravarComunicacao(Owner owner);
    bool GravarEndereco(Owner owner);
    void PreencherCorrespondencia();
    // "(limpar endereço)": enabled while the correspondence CEP is filled.
    bool canClearCorrespondence() const;
    void LimparEndCorrespondencia();

    // Upper case and the "&" "<" ">" replacements of the address texts.
    static QString typedText(const QString& text, bool upper = true);

private:
    TdtmJX& m_jx;
};

} // namespace jx
