#pragma once

#include "TFrmCadastroPadrao.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QStackedWidget;

#include <QVariant>

namespace jx {
class TdtmJX;
class UserPrompts;
class Addresses;
} // namespace jx

namespace jx::data {
class RecordSet;
}

namespace jx::gui {

// The address form over the owner's address: the scratch row loaded from the link and the
// target, copied back on Salvar, discarded otherwise (also when the form fails).
void runAddressForm(Commands& commands, TdtmJX& jx, UserPrompts& prompts, Addresses& addresses, const QVariant& link,
    data::RecordSet& target);

// The address form, shared by every owner. It edits the scratch row (cdsEnderco); Salvar
// runs the checks in order, any other close asks before discarding.
class TFrmCadastroEndereco : public TFrmCadastroPadrao {
    Q_OBJECT

public:
    TFrmCadastroEndereco(Commands& commands, TdtmJX& jx, UserPrompts& prompts, QWidget* parent = nullptr);

    void done(int result) override;
    // Brings the locality list or the free-text município to the front (UF 10 = home state).
    void AjustarMunicipio();

    QWidget* control(const QString& field) const;
    QLabel* caption(const QString& field) const;
    QComboBox* localityList() const { return m_localidade; }
    QLineEdit* municipioEdit() const { return m_municipio; }
    QStackedWidget* municipioStack() const { return m_stack; }

    static inline const QString kCancelQuestion = QStringLiteral(
        "Ao cancelar ou fechar a tela todas as informações que ainda não foram salvas serão perdidas!\rDeseja "
        "continuar?");
    static inline const QString kAddFailed = QStringLiteral("Erro ao tentar Adicionar um Endereço");

private:
    TdtmJX& m_jx;
    UserPrompts& m_prompts;
    QComboBox* m_localidade = nullptr;
    QLineEdit* m_municipio = nullptr;
    QStackedWidget* m_stack = nullptr;
    QHash<QString, QWidget*> m_controls;
    QHash<QString, QLabel*> m_captions;
};

} // namespace jx::gui
