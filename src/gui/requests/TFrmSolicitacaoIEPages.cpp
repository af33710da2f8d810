// The pages of the request form.

#include "TFrmSolicitacaoIE.h"

#include "DetailBlocks.h"
#include "PopupComboBox.h"

#include "Commands.h"
#include "data/RecordSetModel.h"
#include "data/TdtmJX.h"
#include "platform/UserPrompts.h"
#include "requests/RequestLifecycle.h"
#include "text/DocumentChecks.h"
#include "text/Masks.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace jx::gui {

using data::RecordSet;

QLabel* TFrmSolicitacaoIE::label(const QString& text, const QString& name)
{
    auto* l = new QLabel(text, this);
    if (!name.isEmpty()) {
        l->setObjectName(name);
        m_labels.insert(name, l);
    }
    return l;
}

QLineEdit* TFrmSolicitacaoIE::edit(
    const QString& name, RecordSet& set, const QString& field, const bind::EditOptions& options)
{
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    bind::lineEdit(e, set, field, options);
    m_controls.insert(name, e);
    return e;
}

QComboBox* TFrmSolicitacaoIE::lookup(const QString& name, const QString& field, RecordSet& reference,
    const QString& key, const QString& display, std::function<void()> after)
{
    auto* combo = new QComboBox(this);
    combo->setObjectName(name);
    bind::lookup(combo, *m_jx.cdsSolicitacaoIE, field, reference, key, display, std::move(after));
    m_controls.insert(name, combo);
    return combo;
}

QButtonGroup* TFrmSolicitacaoIE::radio(const QString& name, const QString& field, const QStringList& captions,
    const QVariantList& values, std::function<void()> after)
{
    auto* box = new QWidget(this);
    box->setObjectName(name);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < captions.size(); ++i) {
        auto* button = new QRadioButton(captions[i], box);
        button->setObjectName(name + u'_' + QString::number(i));
        group->addButton(button, i);
        row->addWidget(button);
    }
    row->addStretch();
    bind::radio(group, *m_jx.cdsSolicitacaoIE, field, values, std::move(after));
    m_controls.insert(name, box);
    return group;
}

QWidget* TFrmSolicitacaoIE::buildDadosIniciais()
{
    RecordSet& r = *m_jx.cdsSolicitacaoIE;
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tbsDadosIniciais"));
    auto* layout = new QVBoxLayout(page);

    auto* first = new QGroupBox(QStringLiteral("   Dados Iniciais I  "), page);
    auto* firstForm = new QFormLayout(first);
    auto* cnpj = new QLabel(first);
    cnpj->setObjectName(QStringLiteral("lblDescCNPJ"));
    bind::label(cnpj, r, "DESC_CNPJ");
    firstForm->addRow(label(QStringLiteral("CNPJ "), "lblCNPJ"), cnpj);
    layout->addWidget(first);

    auto* second = new QGroupBox(QStringLiteral("   Dados Iniciais II    "), page);
    auto* form = new QFormLayout(second);
    radio("dbrgLocalizacao", "LOCALIZACAO", { "QZ", "Outra UF" }, { 1, 99 }, [this] { applyRules(true); });
    form->addRow(label(QStringLiteral("Localização:"), "lblLocalizacao"), control("dbrgLocalizacao"));
    bind::EditOptions nire;
    nire.mask = masks::kNire;
    form->addRow(label(QStringLiteral("NIRE:"), "lblNIRE"), edit("dbNIRE", r, "NIRE", nire));
    form->addRow(label(QStringLiteral("Unidade Auxiliar:"), "lblUnidade"),
        lookup("dbLkUnidade", "ID_UNIDADE_AUXILIAR", *m_jx.cdsUnidadeAuxiliar, "IDENTIFICADOR", "DESCRICAO",
            [this] { applyRules(false); }));
    auto cnaef
        = [&](const char* panelName, const char* code, const char* desc, const char* idField, const char* command) {
              auto* row = new QWidget(second);
              auto* h = new QHBoxLayout(row);
              h->setContentsMargins(0, 0, 0, 0);
              auto* c = new QLineEdit(row);
              c->setObjectName(QLatin1String(panelName) + QStringLiteral("Cod"));
              c->setMaximumWidth(110);
              bind::displayEdit(c, r, QLatin1String(code), QLatin1String(idField));
              auto* d = new QLineEdit(row);
              d->setObjectName(QLatin1String(panelName) + QStringLiteral("Desc"));
              bind::displayEdit(d, r, QLatin1String(desc), QLatin1String(idField));
              h->addWidget(c);
              h->addWidget(d, 1);
              QToolButton* choose = makeCommandButton(row, m_commands, QLatin1String(command));
              choose->setCursor(Qt::PointingHandCursor);
              h->addWidget(choose);
              m_controls.insert(QLatin1String(panelName), row);
              return row;
          };
    form->addRow(label(QStringLiteral("CNAE-F Principal:"), "lblCNAEFPrincipal"),
        cnaef("pnlCnaefPrincipal", "DESC_CNAEFCOD", "DESC_CNAEF", "ID_CNAEF_PRINCIPAL", "actCNAEFPrincipal"));
    form->addRow(label(QStringLiteral("CNAE-F Secundária:"), "lblCNAEFSecundaria"),
        cnaef("pnlCnaefSecundaria", "DESC_CNAEFCODS", "DESC_CNAEFS", "ID_CNAEF_SECUNDARIO", "actCNAEFSecundario"));
    form->addRow(label(QStringLiteral("Regime de Recolhimento:"), "lblRegime"),
        lookup("dbLkRegime", "ID_REGIME_RECOLHIMENTO", *m_jx.cdsRegimeRecolhimento, "ID_REGIMEC", "DESCRICAO"));
    radio("dbrgTrib", "SUBSTITUTO_TRIBUTARIO", { QStringLiteral("Sim"), QStringLiteral("Não") }, { "S", "N" },
        [this] { applyRules(true); });
    form->addRow(label(QStringLiteral("É Substituto Tributário?"), "lblSubstituto"), control("dbrgTrib"));
    auto* vinculo = new PopupComboBox(this);
    vinculo->setObjectName(QStringLiteral("dbLkComunicar"));
    bind::lookup(vinculo, r, "VINCULO", *m_jx.cdsViculo, "ID_VINCULO", "DESCRICAO", [this] {
        const QString message
            = requestRules::ruleV(*m_jx.cdsSolicitacaoIE, *m_jx.cdsIE_Estab_Vinc, m_rememberedVinculo);
        if (!message.isEmpty())
            m_prompts.error(message);
        m_rememberedVinculo = m_jx.cdsSolicitacaoIE->value("VINCULO");
    });
    m_controls.insert(vinculo->objectName(), vinculo);
    // The value to go back to is the one shown when the list was opened.
    connect(vinculo, &PopupComboBox::popupAboutToShow, this,
        [this] { m_rememberedVinculo = m_jx.cdsSolicitacaoIE->value("VINCULO"); });
    m_rememberedVinculo = r.value("VINCULO");
    form->addRow(label(QStringLiteral("Comunicar Incorporação, Fusão ou Cisão Total: "), "lblComunicar"), vinculo);
    radio("dbrgIEUnica", "INSCRICAO_UNICA", { QStringLiteral("Sim"), QStringLiteral("Não") }, { "S", "N" }, [this] {
        const QString message = requestRules::ruleU(*m_jx.cdsSolicitacaoIE, *m_jx.cdsCNPJ_Estab_Vinc);
        if (!message.isEmpty())
            m_prompts.error(message);
    });
    form->addRow(label(QStringLiteral("Inscrição Estadual Única:"), "lblIEUnica"), control("dbrgIEUnica"));
    form->addRow(label(QStringLiteral("Natureza Jurídica:"), "lblNatureza"),
        lookup("dbLkNatureza", "ID_NATUREZA_JURIDICA", *m_jx.cdsNatureza_Juridica, "ID_NATUREZAJUD", "DESCRICAO"));
    bind::EditOptions receita;
    receita.maxLength = 9;
    receita.money = true;
    form->addRow(label(QStringLiteral("Limite Receita Bruta Anual Prevista:"), "lblReceita"),
        edit("dbReceitaBruta", r, "RECEITA_BRUTA", receita));
    layout->addWidget(second);
    layout->addStretch();
    return page;
}

QWidget* TFrmSolicitacaoIE::buildIdentificacao()
{
    RecordSet& r = *m_jx.cdsSolicitacaoIE;
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tbsIdentificacao"));
    auto* layout = new QVBoxLayout(page);
    auto* main = new QGroupBox(QStringLiteral("  Informações Principais   "), page);
    auto* mainForm = new QFormLayout(main);
    auto* cnpj = new QLabel(main);
    bind::label(cnpj, r, "DESC_CNPJ");
    mainForm->addRow(label(QStringLiteral("CNPJ:")), cnpj);
    auto* nire = new QLabel(main);
    bind::label(nire, r, "NIRE", masks::kNire);
    mainForm->addRow(label(QStringLiteral("NIRE:")), nire);
    bind::EditOptions name;
    name.upper = true;
    name.replaceBrackets = true;
    name.maxLength = 120;
    mainForm->addRow(label(QStringLiteral("Nome Empresarial:"), "lblNomeEmpresarial"),
        edit("dbNomeEmpresarial", r, "NOME_EMPRESARIAL", name));
    name.maxLength = 50;
    mainForm->addRow(
        label(QStringLiteral("Nome Fantasia:"), "lblNomeFantasia"), edit("dbNomeFantasia", r, "NOME_FANTASIA", name));
    layout->addWidget(main);

    auto* more = new QGroupBox(QStringLiteral("  Informações Complementares   "), page);
    auto* form = new QFormLayout(more);
    m_dataInicio = new QLineEdit(more);
    m_dataInicio->setObjectName(QStringLiteral("DBDateInicAtividade"));
    bind::dateEdit(m_dataInicio, r, "DATA_INICIO_ATIVIDADE");
    m_controls.insert(m_dataInicio->objectName(), m_dataInicio);
    form->addRow(label(QStringLiteral("Data de Início de Atividade: "), "lblDataInicio"), m_dataInicio);
    auto* origin = new QWidget(more);
    origin->setObjectName(QStringLiteral("pnIEEstOrigem"));
    auto* originRow = new QHBoxLayout(origin);
    originRow->setContentsMargins(0, 0, 0, 0);
    bind::EditOptions ie;
    ie.mask = masks::kIe;
    originRow->addWidget(label(QStringLiteral("Inscrição Estadual do Estado de Origem:"), "lblIEEstado"));
    originRow->addWidget(edit("dbIEEstado", r, "IE_ESTADO_ORIGEM", ie));
    m_controls.insert("pnIEEstOrigem", origin);
    form->addRow(origin);
    auto processRule = [this] { applyRules(false); };
    form->addRow(label(QStringLiteral("Situação Especial:"), "lblSituacao"),
        lookup(
            "dbLkSituacao", "ID_SITUACAO_ESPESCIAL", *m_jx.cdsSituacao_Especial, "CODIGO", "DESCRICAO", processRule));
    bind::EditOptions process;
    process.upper = true;
    process.replaceAmpersand = true;
    process.replaceBrackets = true;
    process.maxLength = 30;
    QLineEdit* processo = edit("dbProcesso", r, "PROCESSO_NUMERO", process);
    connect(processo, &QLineEdit::editingFinished, this, processRule);
    form->addRow(label(QStringLiteral("Número do Processo: "), "lblProcesso"), processo);
    m_processoInicio = new QLineEdit(more);
    m_processoInicio->setObjectName(QStringLiteral("dbdInicio"));
    bind::dateEdit(m_processoInicio, r, "PROCESSO_DATA_INICIO");
    connect(m_processoInicio, &QLineEdit::editingFinished, this, processRule);
    form->addRow(label(QStringLiteral("Data Início:"), "lblProcessoInicio"), m_processoInicio);
    m_processoFim = new QLineEdit(more);
    m_processoFim->setObjectName(QStringLiteral("dbdFim"));
    bind::dateEdit(m_processoFim, r, "PROCESSO_DATA_FIM");
    connect(m_processoFim, &QLineEdit::editingFinished, this, processRule);
    form->addRow(label(QStringLiteral("Data Fim:"), "lblProcessoFim"), m_processoFim);
    auto* vinculo = new QLabel(more);
    bind::label(vinculo, r, "DESC_VINCULO");
    form->addRow(label(QStringLiteral("Comunicar Incorporação, Fusão, Cisão Total:")), vinculo);
    auto* unica = new QLabel(more);
    bind::label(unica, r, "DESC_IEUNICA");
    form->addRow(label(QStringLiteral("Inscrição Estadual Única:")), unica);
    bind::EditOptions dae;
    dae.mask = masks::kDae;
    form->addRow(label(QStringLiteral("Nº do DAE da Solicitação de Inscrição Estadual:"), "lblDAE"),
        edit("dbDAE", r, "NUMERO_DAE", dae));
    auto* links = new QHBoxLayout;
    links->addWidget(makeCommandButton(more, m_commands, QStringLiteral("actIEEstabVinc")));
    links->addWidget(makeCommandButton(more, m_commands, QStringLiteral("actCNPJEstabVinc")));
    form->addRow(links);
    layout->addWidget(more);
    layout->addStretch();
    return page;
}

QWidget* TFrmSolicitacaoIE::buildQualificacao()
{
    RecordSet& r = *m_jx.cdsSolicitacaoIE;
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tbsQualificacao"));
    auto* form = new QFormLayout(page);
    auto show = [&](const QString& caption, const char* field, const QString& mask = {}) {
        auto* value = new QLabel(page);
        bind::label(value, r, QLatin1String(field), mask);
        form->addRow(label(caption), value);
    };
    show(QStringLiteral("Categoria: "), "DESC_CATEGORIA");
    show(QStringLiteral("Inscrição Estadual da Matriz/Principal: "), "MATRIZ_IE", masks::kIe);
    show(QStringLiteral("Natureza Jurídica: "), "DESC_NATUREZAJURIDICA");
    show(QStringLiteral("Regime de Recolhimento: "), "DESC_REGIMERECOLHIMENTO");
    show(QStringLiteral("Unidade Auxiliar: "), "DESC_UNIDADEAUXILIAR");
    auto showCnaef = [&](const QString& caption, const char* code, const char* description) {
        auto* row = new QWidget(page);
        auto* h = new QHBoxLayout(row);
        h->setContentsMargins(0, 0, 0, 0);
        auto* codeLabel = new QLabel(row);
        codeLabel->setObjectName(QLatin1String(code) + QStringLiteral("_Qualificacao"));
        codeLabel->setMinimumWidth(90);
        bind::label(codeLabel, r, QLatin1String(code));
        auto* descriptionLabel = new QLabel(row);
        descriptionLabel->setObjectName(QLatin1String(description) + QStringLiteral("_Qualificacao"));
        bind::label(descriptionLabel, r, QLatin1String(description));
        h->addWidget(codeLabel);
        h->addWidget(descriptionLabel, 1);
        form->addRow(label(caption), row);
    };
    showCnaef(QStringLiteral("CNAE-F Principal: "), "DESC_CNAEFCOD", "DESC_CNAEF");
    // A list of two or more entries, or the single entry as text (RecarregarCAE and
    // RecarregarDesmembramentos decide which).
    auto dependent = [&](const char* listName, const char* textName, const char* field, RecordSet& reference,
                         const char* key) {
        auto* row = new QWidget(page);
        auto* h = new QHBoxLayout(row);
        h->setContentsMargins(0, 0, 0, 0);
        QComboBox* list = lookup(QLatin1String(listName), QLatin1String(field), reference, QLatin1String(key),
            QStringLiteral("DESCRICAO"));
        list->setMaxVisibleItems(20);
        auto* text = new QLabel(row);
        text->setObjectName(QLatin1String(textName));
        text->hide();
        m_controls.insert(text->objectName(), text);
        h->addWidget(list, 1);
        h->addWidget(text, 1);
        return row;
    };
    form->addRow(label(QStringLiteral("CAE: ")), dependent("dbLkCAE", "dbTextCAE", "ID_CAE", *m_jx.cdsCAE, "ID_CAE"));
    form->addRow(label(QStringLiteral("Desmembramento:")),
        dependent("dbLkDesmembramento1", "dbTextDesm1", "ID_DESMEMBRAMENTO1", *m_jx.cdsDesmembramento1, "ID_CNAEF"));
    showCnaef(QStringLiteral("CNAE-F Secundária: "), "DESC_CNAEFCODS", "DESC_CNAEFS");
    form->addRow(label(QStringLiteral("Desmembramento:")),
        dependent("dbLkDesmembramento2", "dbTextDesm2", "ID_DESMEMBRAMENTO2", *m_jx.cdsDesmembramento2, "ID_CNAEF"));
    bind::EditOptions upper;
    upper.upper = true;
    upper.maxLength = 30;
    form->addRow(label(QStringLiteral("Nº de Registro do Órgão Licenciador: ")),
        edit("dbOrgaoLicenciador", r, "ORGAO_LICENCIADOR", upper));
    form->addRow(label(QStringLiteral("Formas de Comercialização: "), "lblFormaComercializacao"),
        lookup("DBFORMACOMERCIALIZACAO", "ID_FORMA_COMERCIALIZACAO", *m_jx.cdsForma_Comercializacao, "CODIGO",
            "DESCRICAO"));
    show(QStringLiteral("É Substituto Tributário? "), "DESC_SUBTRIBUTARIO");
    form->addRow(label(QStringLiteral("Convênio/Protocolo de Subs.Tributária: "), "lblConvenio"),
        lookup("dbLkConvenio", "ID_CONVENIO_PROTOCOLO", *m_jx.cdsConvenio_Protocolo, "ID_CONVENIO_PROTOCOLO",
            "DESCRICAO"));
    return page;
}

QWidget* TFrmSolicitacaoIE::buildEnderecoComunicacao()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tbsEnderecoComunicacao"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(addressDisplay(page, QStringLiteral("Do Estabelecimento   "), QStringLiteral("grpEstabelecimento"),
        *m_jx.cdsSolicIEEndEstab, m_commands, { QStringLiteral("actSolicitacaoIEInclusaoEndEstab") }));
    layout->addWidget(addressDisplay(page, QStringLiteral("Correspondência "), QStringLiteral("grpCorrespondencia"),
        *m_jx.cdsSolicIEEndCorresp, m_commands,
        { QStringLiteral("actSolicitacaoIEInclusaoEndCorresp"), QStringLiteral("actLimparEndCorrespondencia") }));
    const ContactBlock contact = contactBlock(page, *m_jx.cdsSolicitacaoIEComun);
    for (auto it = contact.edits.cbegin(); it != contact.edits.cend(); ++it)
        m_controls.insert(it.value()->objectName(), it.value());
    layout->addWidget(contact.box);
    layout->addStretch();
    return page;
}

QWidget* TFrmSolicitacaoIE::buildGrid(const QString& title, const QString& gridName,
    const QList<QPair<QString, QString>>& columns, const QStringList& commandNames, const QString& orderName,
    RecordSet& set)
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* box = new QGroupBox(title, page);
    auto* boxLayout = new QVBoxLayout(box);
    auto* model = new data::RecordSetModel(set, page);
    QList<data::RecordSetModel::Column> modelColumns;
    for (const auto& [field, caption] : columns)
        modelColumns.push_back({ field, caption });
    model->setColumns(modelColumns);
    auto* grid = new QTableView(box);
    grid->setObjectName(gridName);
    grid->setModel(model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->verticalHeader()->hide();
    bind::gridCursor(grid, set); // Alterar and Excluir act on the row selected
    connect(grid, &QTableView::doubleClicked, this,
        [this, commandNames] { m_commands.action(commandNames.value(1))->trigger(); });
    boxLayout->addWidget(grid);
    m_controls.insert(gridName, grid);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("Ordenar por:"), box));
    auto* order = new QComboBox(box);
    order->setObjectName(orderName);
    for (const auto& [field, caption] : columns)
        order->addItem(caption, field);
    order->setCurrentIndex(-1);
    connect(order, &QComboBox::activated, this,
        [this, order, &set](int i) { m_jx.sortByColumn(set, order->itemData(i).toString()); });
    m_controls.insert(orderName, order);
    bottom->addWidget(order);
    bottom->addStretch();
    for (const QString& command : commandNames)
        bottom->addWidget(makeCommandButton(box, m_commands, command));
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const QString& command : commandNames)
        grid->addAction(m_commands.action(command));
    boxLayout->addLayout(bottom);
    layout->addWidget(box);
    return page;
}

QWidget* TFrmSolicitacaoIE::buildContabilistas()
{
    RecordSet& r = *m_jx.cdsSolicitacaoIE;
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tbsContabilistas"));
    auto* layout = new QVBoxLayout(page);
    auto* box = new QGroupBox(QStringLiteral("Dados do Contabilista/Empresa Contábil"), page);
    auto* form = new QFormLayout(box);
    QComboBox* kind = lookup(
        "dbLkTipoDocContabilista", "DOCUMENTO_CONTABILISTA_TIPO", *m_jx.cdsTipo_Identificacao, "IDENTIFICACAO", "TIPO");
    form->addRow(label(QStringLiteral("Tipo de Identificação do Contabilista/Empresa Contábil:")), kind);
    QLineEdit* number = edit("dbDocContabilista", r, "DOCUMENTO_CONTABILISTA_NUMERO", {});
    // The number's mask follows the kind of document.
    // Through the binder, so that the number is stored without the mask's punctuation.
    auto remask = [this, number] {
        const int type = m_jx.cdsSolicitacaoIE->value("DOCUMENTO_CONTABILISTA_TIPO").toInt();
        bind::setMask(number, type == 4 ? masks::kCpfEdit : type == 3 ? masks::kCnpjEdit : QString());
    };
    connect(kind, &QComboBox::activated, this, remask);
    remask();
    form->addRow(label(QStringLiteral("Identificação do Contabilista/Empresa Contábil: ")), number);
    radio("dbrgLivrosFiscais", "IND_LIVROS_FISCAIS", { QStringLiteral("Sim"), QStringLiteral("Não") }, { "S", "N" });
    form->addRow(label(QStringLiteral("Permanência dos Livros Fiscais em \r\nEscritório de Contabilidade: ")),
        control("dbrgLivrosFiscais"));
    layout->addWidget(box);
    layout->addStretch();
    return page;
}

} // namespace jx::gui
