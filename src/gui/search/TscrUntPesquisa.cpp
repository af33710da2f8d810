#include "TscrUntPesquisa.h"

#include "data/RecordSetModel.h"
#include "data/TdtmJX.h"
#include "text/Masks.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace jx::gui {

namespace {

const char* const kFormCaptions[] = { "Exata", "Parcial", "Iniciada com" };

// Holds a widget's painting off for a scope, however the scope ends.
class UpdatesSuspended {
public:
    explicit UpdatesSuspended(QWidget* widget)
        : m_widget(widget)
        , m_was(widget && widget->updatesEnabled())
    {
        if (m_widget)
            m_widget->setUpdatesEnabled(false);
    }
    ~UpdatesSuspended()
    {
        if (m_widget)
            m_widget->setUpdatesEnabled(m_was);
    }
    UpdatesSuspended(const UpdatesSuspended&) = delete;
    UpdatesSuspended& operator=(const UpdatesSuspended&) = delete;

private:
    QPointer<QWidget> m_widget;
    bool m_was;
};

} // namespace

TscrUntPesquisa::TscrUntPesquisa(
    TdtmJX& jx, QTableView* grid, data::RecordSet& set, const QString& table, const QString& key, QWidget* parent)
    : TFrmPadrao(parent)
    , m_search(jx, set, table, key)
    , m_grid(grid)
{
    setObjectName(QStringLiteral("TscrUntPesquisa"));
    setWindowTitle(QStringLiteral("Pesquisa"));
    setHelpTopic(0);
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("cbbCampo"));
    // The grid's visible columns, each with the type of the field it shows.
    if (auto* model = qobject_cast<data::RecordSetModel*>(grid->model())) {
        for (int c = 0; c < model->columns().size(); ++c) {
            if (grid->isColumnHidden(c))
                continue;
            const auto& column = model->columns().at(c);
            const int index = set.fieldIndex(column.field);
            const QString title = model->headerData(c, Qt::Horizontal).toString();
            m_field->addItem(title, index >= 0 ? int(set.field(index).type) : int(data::FieldType::Text));
        }
    }
    form->addRow(new QLabel(QStringLiteral("Campo"), this), m_field);
    m_value = new QLineEdit(this);
    m_value->setObjectName(QStringLiteral("mseChave"));
    connect(m_value, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int at = m_value->cursorPosition();
        m_value->setText(text.toUpper());
        m_value->setCursorPosition(at);
    });
    form->addRow(new QLabel(QStringLiteral("Parâmetro"), this), m_value);
    layout->addLayout(form);

    auto* box = new QGroupBox(QStringLiteral("Forma de Pesquisa"), this);
    box->setObjectName(QStringLiteral("rdgForma"));
    auto* row = new QHBoxLayout(box);
    m_forms = new QButtonGroup(box);
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(QString::fromUtf8(kFormCaptions[i]), box);
        button->setObjectName(QStringLiteral("rdgForma_%1").arg(i));
        m_forms->addButton(button, i);
        row->addWidget(button);
    }
    layout->addWidget(box);
    auto* note = new QLabel(QStringLiteral("Obs.: Não usar caracteres  * - / . ( ) para pesquisa."), this);
    note->setObjectName(QStringLiteral("lblObs"));
    layout->addWidget(note);

    auto* bar = new QHBoxLayout;
    bar->addStretch();
    m_confirm = new QPushButton(QStringLiteral("C&onfirmar"), this);
    m_confirm->setObjectName(QStringLiteral("btnConfirmar"));
    m_confirm->setToolTip(QStringLiteral("Confirmar"));
    auto* cancel = new QPushButton(QStringLiteral("&Cancelar"), this);
    cancel->setObjectName(QStringLiteral("btnCancelar"));
    cancel->setToolTip(QStringLiteral("Cancelar"));
    bar->addWidget(m_confirm);
    bar->addWidget(cancel);
    layout->addLayout(bar);
    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    layout->addWidget(status);
    connect(m_confirm, &QPushButton::clicked, this, [this] {
        if (confirm())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // The same two on the window's menu.
    auto* confirmAction = new QAction(QStringLiteral("C&onfirmar"), this);
    connect(confirmAction, &QAction::triggered, m_confirm, &QPushButton::click);
    confirmAction->setToolTip(QStringLiteral("Confirmar"));
    auto* cancelAction = new QAction(QStringLiteral("&Cancelar"), this);
    cancelAction->setToolTip(QStringLiteral("Cancelar"));
    cancelAction->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(cancelAction, &QAction::triggered, this, &QDialog::reject);
    addAction(confirmAction);
    addAction(cancelAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    connect(m_field, &QComboBox::currentIndexChanged, this, &TscrUntPesquisa::chooseField);
    connect(m_field, &QComboBox::activated, this, [this] { m_value->setFocus(); });
    if (m_field->count() > 0) {
        m_field->setCurrentIndex(0);
        chooseField(0);
    }
}

void TscrUntPesquisa::chooseField(int index)
{
    if (index < 0)
        return;
    const auto type = data::FieldType(m_field->itemData(index).toInt());
    const Search::Options options = Search::optionsFor(m_field->itemText(index), type);
    for (int i = 0; i < 3; ++i)
        m_forms->button(i)->setVisible(options.forms.contains(Search::Form(i)));
    m_forms->button(int(options.chosen))->setChecked(true);
    m_dateMask = options.dateMask;
    m_value->setInputMask(m_dateMask ? masks::toQtInputMask(masks::kDataPesquisa) : QString());
}

bool TscrUntPesquisa::confirm()
{
    const int index = m_field->currentIndex();
    if (index < 0)
        return false;
    const QString value = m_dateMask ? m_value->displayText() : m_value->text();
    // Marking and re-sorting every row would otherwise repaint the grid row by row.
    const UpdatesSuspended frozen(m_grid);
    return m_search.confirm(m_field->itemText(index), value, Search::Form(m_forms->checkedId()), m_dateMask)
        == Search::Outcome::Found;
}

void TscrUntPesquisa::keyPressEvent(QKeyEvent* event)
{
    // Enter confirms wherever the focus is; Esc cancels (the base window's keys otherwise).
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (confirm())
            accept();
        return;
    }
    TFrmPadrao::keyPressEvent(event);
}

} // namespace jx::gui
