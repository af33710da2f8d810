#include "TFrmCadastroEndereco.h"

#include "Binders.h"
#include "Commands.h"
#include "data/TdtmJX.h"
#include "platform/UserPrompts.h"
#include "requests/Addresses.h"
#include "text/Masks.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>

namespace jx::gui {

using data::RecordSet;

TFrmCadastroEndereco::TFrmCadastroEndereco(Commands& commands, TdtmJX& jx, UserPrompts& prompts, QWidget* parent)
    : TFrmCadastroPadrao(commands, parent)
    , m_jx(jx)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TFrmCadastroEndereco"));
    setWindowTitle(QStringLiteral("Endereço"));
    setHelpTopic(10);
    RecordSet& a = *jx.cdsEnderco;

    auto* grid = new QGridLayout;
    contentLayout()->addLayout(grid);
    int row = 0;
    auto addRow = [&](const QString& captionText, const QString& field, QWidget* control, bool bold = false) {
        auto* caption = new QLabel(captionText, this);
        caption->setObjectName(QStringLiteral("lbl") + field);
        if (bold) {
            QFont font = caption->font();
            font.setBold(true);
            caption->setFont(font);
        }
        caption->setBuddy(control);
        grid->addWidget(caption, row, 0, Qt::AlignRight);
        grid->addWidget(control, row, 1);
        ++row;
        m_controls.insert(field, control);
        m_captions.insert(field, caption);
    };
    auto edit = [&](const QString& field, bind::EditOptions options) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("db") + field);
        bind::lineEdit(e, a, field, options);
        return e;
    };
    bind::EditOptions text;
    text.upper = true;
    text.replaceAmpersand = true;
    text.replaceBrackets = true;

    bind::EditOptions cep;
    cep.mask = masks::kCep;
    addRow(QStringLiteral("CEP: "), "CEP", edit("CEP", cep), true);

    auto* uf = new QComboBox(this);
    uf->setObjectName(QStringLiteral("dbLkUF"));
    uf->setMaxVisibleItems(30);
    bind::lookup(uf, a, "ID_UF", *jx.cdsUF, "ID_UF", "SIGLA", [this, &a] {
        a.setValue("LOCALIDADE", QVariant()); // a new state empties the município
        AjustarMunicipio();
    });
    addRow(QStringLiteral("UF:"), "ID_UF", uf, true);

    m_stack = new QStackedWidget(this);
    m_localidade = new QComboBox(m_stack);
    m_localidade->setObjectName(QStringLiteral("dblLocalidade"));
    bind::lookup(m_localidade, a, "LOCALIDADE", *jx.cdsLocalidade, "NOME", "NOME");
    bind::EditOptions municipio = text;
    municipio.maxLength = 30;
    m_municipio = edit("LOCALIDADE", municipio);
    m_municipio->setObjectName(QStringLiteral("dbMunicipio"));
    m_stack->addWidget(m_localidade);
    m_stack->addWidget(m_municipio);
    addRow(QStringLiteral("Município: "), "LOCALIDADE", m_stack, true);

    bind::EditOptions thirty = text;
    thirty.maxLength = 30;
    addRow(QStringLiteral("Distrito/Povoado: "), "DISTRITO", edit("DISTRITO", thirty));
    addRow(QStringLiteral("Bairro: "), "BAIRRO", edit("BAIRRO", thirty));
    auto* street = new QComboBox(this);
    street->setObjectName(QStringLiteral("dbLkTipoLogradouro"));
    bind::lookup(street, a, "TIPO_LOGRADOURO", *jx.cdsLogradouro, "IDENTIFICADOR", "NOME");
    addRow(QStringLiteral("Tipo logradouro: "), "TIPO_LOGRADOURO", street, true);
    addRow(QStringLiteral("Logradouro:"), "LOGRADOURO", edit("LOGRADOURO", thirty));
    bind::EditOptions number;
    number.digitsOnly = true;
    number.maxLength = 6;
    addRow(QStringLiteral("Número: "), "NUMERO", edit("NUMERO", number));
    for (int i = 1; i <= 6; ++i) {
        const QString type = QStringLiteral("COD_TIPO_COMPLEMENTO%1").arg(i);
        auto* kind = new QComboBox(this);
        kind->setObjectName(QStringLiteral("dbLkTipoComplemento%1").arg(i));
        bind::lookup(kind, a, type, *jx.cdsComplemento, "CODIGO", "DESCRICAO");
        bind::EditOptions complement = text;
        complement.maxLength = 50;
        auto* value = edit(QStringLiteral("COMPLEMENTO%1").arg(i), complement);
        auto* pair = new QWidget(this);
        auto* pairLayout = new QHBoxLayout(pair);
        pairLayout->setContentsMargins(0, 0, 0, 0);
        pairLayout->addWidget(kind, 1);
        pairLayout->addWidget(value, 2);
        addRow(QStringLiteral("Complemento %1: ").arg(i), QStringLiteral("COMPLEMENTO%1").arg(i), pair);
        m_controls.insert(type, kind);
        m_controls.insert(QStringLiteral("COMPLEMENTO%1").arg(i), value);
    }
    AjustarMunicipio();
    resize(520, sizeHint().height());
}

QWidget* TFrmCadastroEndereco::control(const QString& field) const
{
    return m_controls.value(field);
}

QLabel* TFrmCadastroEndereco::caption(const QString& field) const
{
    return m_captions.value(field);
}

void TFrmCadastroEndereco::AjustarMunicipio()
{
    const bool home = m_jx.cdsEnderco->value("ID_UF").toInt() == 10;
    m_stack->setCurrentWidget(home ? static_cast<QWidget*>(m_localidade) : m_municipio);
    m_localidade->setFocusPolicy(home ? Qt::StrongFocus : Qt::NoFocus);
    m_municipio->setFocusPolicy(home ? Qt::NoFocus : Qt::StrongFocus);
}

void TFrmCadastroEndereco::done(int result)
{
    commitTyping();
    if (result == QDialog::Accepted) {
        Addresses::Check check;
        try {
            check = Addresses::check(*m_jx.cdsEnderco);
        } catch (...) {
            m_prompts.error(kAddFailed);
            return;
        }
        if (!check.ok()) {
            m_prompts.error(check.message);
            QWidget* target = check.focusField == QLatin1String("LOCALIDADE") ? m_stack->currentWidget()
                                                                              : control(check.focusField);
            if (target)
                target->setFocus();
            return;
        }
    } else if (!m_prompts.warnYesNo(kCancelQuestion)) {
        return;
    }
    TFrmCadastroPadrao::done(result);
}

void runAddressForm(Commands& commands, TdtmJX& jx, UserPrompts& prompts, Addresses& addresses, const QVariant& link,
    data::RecordSet& target)
{
    addresses.CarregarEndereco(link, target);
    try {
        TFrmCadastroEndereco form(commands, jx, prompts, QApplication::activeWindow());
        if (form.exec() == QDialog::Accepted)
            addresses.DevolverEndereco(target);
        else
            addresses.discardScratch();
    } catch (...) {
        addresses.discardScratch();
        throw;
    }
}

} // namespace jx::gui
