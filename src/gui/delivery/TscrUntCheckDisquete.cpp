#include "TscrUntCheckDisquete.h"

#include "platform/RemovableMedia.h"
#include "platform/UserPrompts.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QVBoxLayout>

namespace jx::gui {

namespace {

// A medium is there when its root is a folder on a mounted, readable file system.
bool holdsMedium(const QString& root)
{
    if (!QFileInfo(root).isDir())
        return false;
    const QStorageInfo storage(root);
    return storage.isValid() && storage.isReady() && storage.bytesTotal() > 0;
}

} // namespace

TscrUntCheckDisquete::TscrUntCheckDisquete(UserPrompts& prompts, QWidget* parent, const QString& caption)
    : QDialog(parent)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("TscrUntCheckDisquete"));
    setWindowTitle(caption);
    setModal(true);
    freeSpace = [](const QString& root) {
        QStorageInfo storage(root);
        storage.refresh();
        return storage.isValid() && storage.isReady() ? storage.bytesAvailable() : qint64(-1);
    };

    auto* layout = new QVBoxLayout(this);
    m_group = new QGroupBox(kGroupCaption, this);
    m_group->setObjectName(QStringLiteral("rdbDrive"));
    new QGridLayout(m_group);
    m_buttons = new QButtonGroup(this);
    layout->addWidget(m_group, 1);

    auto* bar = new QHBoxLayout;
    bar->addStretch();
    m_cancel = new QPushButton(QStringLiteral("&Cancelar"), this);
    m_cancel->setObjectName(QStringLiteral("btnCancelar"));
    m_cancel->setAutoDefault(false);
    m_confirm = new QPushButton(QStringLiteral("C&onfirmar"), this);
    m_confirm->setObjectName(QStringLiteral("btnConfirmar"));
    m_confirm->setDefault(true);
    bar->addWidget(m_cancel);
    bar->addWidget(m_confirm);
    layout->addLayout(bar);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_confirm, &QPushButton::clicked, this, &TscrUntCheckDisquete::confirm);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setDrives({});
}

void TscrUntCheckDisquete::setDrives(const QStringList& roots)
{
    for (QAbstractButton* button : m_buttons->buttons()) {
        m_buttons->removeButton(button);
        delete button;
    }
    auto* grid = static_cast<QGridLayout*>(m_group->layout());
    const int perColumn = int((roots.size() + 1) / 2);
    for (int i = 0; i < roots.size(); ++i) {
        // A "&" in a folder name would otherwise become a mnemonic.
        auto* button = new QRadioButton(QString(roots[i]).replace(u'&', QStringLiteral("&&")), m_group);
        button->setProperty("root", roots[i]);
        button->setObjectName(QStringLiteral("rdbDrive_%1").arg(i));
        m_buttons->addButton(button, i);
        grid->addWidget(button, i % perColumn, i / perColumn);
    }
    if (!roots.isEmpty())
        m_buttons->button(0)->setChecked(true);
    // Without any drive there is nothing to confirm.
    m_confirm->setEnabled(!roots.isEmpty());
    m_group->setMinimumWidth(260);
}

QString TscrUntCheckDisquete::chosenDrive() const
{
    QAbstractButton* chosen = m_buttons->checkedButton();
    return chosen ? chosen->property("root").toString() : QString();
}

void TscrUntCheckDisquete::confirm()
{
    const QString drive = chosenDrive();
    if (drive.isEmpty())
        return;
    if (!holdsMedium(drive)) {
        m_prompts.error(kNoMedium + drive);
        return;
    }
    while (freeSpace(drive) < 0) {
        if (!m_prompts.confirmOkCancel(kNoFreeSpace + drive)) {
            reject();
            return;
        }
    }
    accept();
}

std::optional<QString> TscrUntCheckDisquete::EscolherDrive(
    UserPrompts& prompts, QWidget* parent, const QString& caption, const QStringList& folders)
{
    TscrUntCheckDisquete dialog(prompts, parent, caption);
    QStringList roots;
    for (const removable::Drive& drive : removable::drives())
        roots << drive.root;
    roots << folders;
    dialog.setDrives(roots);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosenDrive();
}

} // namespace jx::gui
