#include "DetailBlocks.h"

#include "Binders.h"
#include "Commands.h"
#include "data/RecordSet.h"
#include "text/Masks.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

namespace jx::gui {

void setBold(QLabel* label, bool bold)
{
    if (!label)
        return;
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
}

QGroupBox* addressDisplay(QWidget* parent, const QString& title, const QString& prefix, data::RecordSet& address,
    Commands& commands, const QStringList& commandNames)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(prefix);
    auto* grid = new QGridLayout(box);
    const QList<QPair<QString, QString>> fields { { QStringLiteral("CEP: "), "CEP" }, { QStringLiteral("UF: "), "desc_sigla" },
        { QStringLiteral("Município: "), "LOCALIDADE" }, { QStringLiteral("Distrito/Povoado: "), "DISTRITO" },
        { QStringLiteral("Bairro: "), "BAIRRO" }, { QStringLiteral("Logradouro:"), "DESC_ENDERECO" },
        { QStringLiteral("Número: "), "NUMERO" } };
    int row = 0;
    for (const auto& [caption, field] : fields) {
        auto* value = new QLabel(box);
        value->setObjectName(prefix + u'_' + field);
        bind::label(value, address, field, field == QLatin1String("CEP") ? masks::kCep : QString());
        grid->addWidget(new QLabel(caption, box), row / 2, (row % 2) * 2, Qt::AlignRight);
        grid->addWidget(value, row / 2, (row % 2) * 2 + 1);
        ++row;
    }
    auto* complement = new QPlainTextEdit(box);
    complement->setObjectName(prefix + QStringLiteral("_DESC_COMPLEMENTO"));
    complement->setMaximumHeight(44);
    bind::memo(complement, address, "DESC_COMPLEMENTO");
    const int last = (row + 1) / 2;
    grid->addWidget(new QLabel(QStringLiteral("Complemento: "), box), last, 0, Qt::AlignRight);
    grid->addWidget(complement, last, 1, 1, 3);
    auto* links = new QHBoxLayout;
    for (const QString& command : commandNames) {
        QToolButton* link = makeCommandButton(box, commands, command);
        link->setToolButtonStyle(Qt::ToolButtonTextOnly);
        link->setCursor(Qt::PointingHandCursor);
        link->setStyleSheet(QStringLiteral("QToolButton { color: blue; text-decoration: underline; } "
                                           "QToolButton:disabled { color: gray; }"));
        links->addWidget(link);
    }
    links->addStretch();
    grid->addLayout(links, last + 1, 0, 1, 4);
    return box;
}

ContactBlock contactBlock(QWidget* parent, data::RecordSet& contact, const ContactCaptions& captions)
{
    ContactBlock block;
    block.box = new QGroupBox(captions.title, parent);
    auto* form = new QGridLayout(block.box);
    bind::EditOptions phone;
    phone.mask = masks::kTelefone;
    bind::EditOptions email;
    email.lower = captions.emailLower;
    email.replaceAmpersand = true;
    email.replaceBrackets = true;
    email.maxLength = 50;
    bind::EditOptions boxText;
    boxText.upper = true;
    boxText.maxLength = 10;
    bind::EditOptions cep;
    cep.mask = masks::kCep;
    const struct {
        const char* name;
        const char* field;
        QString caption;
        bind::EditOptions options;
        int row;
        int column;
        int span;
    } cells[] = {
        { "dbTelefone", "TELEFONE", QStringLiteral("Telefone:"), phone, 0, 0, 1 },
        { "dbFax", "FAX", captions.fax, phone, 0, 2, 1 },
        { "dbEmail", "EMAIL", captions.email, email, 1, 0, 3 },
        { "dbCaixaPostal", "CAIXA_POSTAL", QStringLiteral("Caixa Postal: "), boxText, 2, 0, 1 },
        { "dbCaixaPostalCEP", "CAIXA_POSTAL_CEP", QStringLiteral("CEP da Caixa Postal: "), cep, 2, 2, 1 },
    };
    for (const auto& c : cells) {
        auto* caption = new QLabel(c.caption, block.box);
        caption->setObjectName(QStringLiteral("lbl") + QLatin1String(c.field));
        auto* edit = new QLineEdit(block.box);
        edit->setObjectName(QLatin1String(c.name));
        bind::lineEdit(edit, contact, QLatin1String(c.field), c.options);
        form->addWidget(caption, c.row, c.column, Qt::AlignRight);
        form->addWidget(edit, c.row, c.column + 1, 1, c.span);
        block.captions.insert(QLatin1String(c.field), caption);
        block.edits.insert(QLatin1String(c.field), edit);
    }
    return block;
}

} // namespace jx::gui
