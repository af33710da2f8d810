#include "QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace jx {

namespace {

QWidget* parentOr(QWidget* parent)
{
    return parent ? parent : QApplication::activeWindow();
}

bool ask(QWidget* parent, const QString& text, QMessageBox::StandardButton yes, QMessageBox::StandardButton no,
    const QString& yesText, const QString& noText, QMessageBox::Icon icon = QMessageBox::Question)
{
    QMessageBox box(icon, icon == QMessageBox::Warning ? QStringLiteral("Aviso") : QStringLiteral("Confirmação"), text,
        yes | no, parentOr(parent));
    box.button(yes)->setText(yesText);
    box.button(no)->setText(noText);
    box.setDefaultButton(yes);
    return box.exec() == yes;
}

void show(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parentOr(parent));
    box.exec();
}

} // namespace

QtPrompts::QtPrompts(QWidget* parent)
    : m_parent(parent)
{
}

void QtPrompts::error(const QString& text)
{
    show(m_parent, QMessageBox::Critical, QStringLiteral("Erro"), text);
}

void QtPrompts::warning(const QString& text)
{
    show(m_parent, QMessageBox::Warning, QStringLiteral("Aviso"), text);
}

void QtPrompts::information(const QString& text)
{
    show(m_parent, QMessageBox::Information, QStringLiteral("Informação"), text);
}

void QtPrompts::message(const QString& text)
{
    show(m_parent, QMessageBox::NoIcon, QApplication::applicationName(), text);
}

bool QtPrompts::confirmYesNo(const QString& text)
{
    return ask(m_parent, text, QMessageBox::Yes, QMessageBox::No, QStringLiteral("&Sim"), QStringLiteral("&Não"));
}

bool QtPrompts::warnYesNo(const QString& text)
{
    return ask(m_parent, text, QMessageBox::Yes, QMessageBox::No, QStringLiteral("&Sim"), QStringLiteral("&Não"),
        QMessageBox::Warning);
}

bool QtPrompts::informYesNo(const QString& text)
{
    return ask(m_parent, text, QMessageBox::Yes, QMessageBox::No, QStringLiteral("&Sim"), QStringLiteral("&Não"),
        QMessageBox::Information);
}

bool QtPrompts::confirmOkCancel(const QString& text)
{
    return ask(m_parent, text, QMessageBox::Ok, QMessageBox::Cancel, QStringLiteral("OK"), QStringLiteral("Cancelar"));
}

QString QtPrompts::chooseFolder(const QString& caption, const QString& startFolder)
{
    return QFileDialog::getExistingDirectory(parentOr(m_parent), caption, startFolder);
}

QString QtPrompts::chooseSaveFile(const QString& caption, const QString& suggestedPath, const QString& filter)
{
    return QFileDialog::getSaveFileName(parentOr(m_parent), caption, suggestedPath, filter);
}

} // namespace jx
