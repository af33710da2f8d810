#pragma once

#include "TFrmCadastroPadrao.h"
#include "requests/Persons.h"

#include <QHash>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;

namespace jx {
class TdtmJX;
class UserPrompts;
} // namespace jx

namespace jx::gui {

// What the partner and responsible forms share: their controls by field, the address and
// contact blocks, Salvar running the checks and storing, any other close asking first.
class TFrmCadastroPessoa : public TFrmCadastroPadrao {
    Q_OBJECT

public:
    void done(int result) override;
    QWidget* control(const QString& field) const { return m_controls.value(field); }
    QLabel* caption(const QString& field) const { return m_captions.value(field); }

protected:
    TFrmCadastroPessoa(Persons::Kind kind, Commands& commands, TdtmJX& jx, Persons& persons, UserPrompts& prompts,
        QWidget* parent);

    QLabel* addCaption(const QString& text, const QString& field, bool bold);
    // The address block (with the person's address command) and the contact block.
    void addAddressAndContact(const QString& addressCommand, const QString& contactTitle, bool emailLower);
    virtual Persons::Check check() = 0;

    Persons::Kind m_kind;
    Commands& m_commands;
    TdtmJX& m_jx;
    Persons& m_persons;
    UserPrompts& m_prompts;
    QHash<QString, QWidget*> m_controls;
    QHash<QString, QLabel*> m_captions;
};

// "Dados do Sócio".
class TFrmCadastroSocios : public TFrmCadastroPessoa {
    Q_OBJECT

public:
    TFrmCadastroSocios(Commands& commands, TdtmJX& jx, Persons& persons, UserPrompts& prompts, QWidget* parent = nullptr);
    // Masks, captions and the legal-representative rule for the kind and master answer.
    void applyPresentation();

protected:
    void showEvent(QShowEvent* event) override;
    Persons::Check check() override;
};

// "Dados do Responsável".
class TFrmCadastroResponsaveis : public TFrmCadastroPessoa {
    Q_OBJECT

public:
    TFrmCadastroResponsaveis(
        Commands& commands, TdtmJX& jx, Persons& persons, UserPrompts& prompts, QWidget* parent = nullptr);

protected:
    Persons::Check check() override;
};

} // namespace jx::gui
