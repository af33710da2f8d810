#include "platform/ScriptedPrompts.h"

namespace jx {

ScriptedPrompts& ScriptedPrompts::expectError(const QString& text)
{
    m_expected.push_back({ Kind::Error, text, false, {} });
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectWarning(const QString& text)
{
    m_expected.push_back({ Kind::Warning, text, false, {} });
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectInformation(const QString& text)
{
    m_expected.push_back({ Kind::Information, text, false, {} });
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectMessage(const QString& text)
{
    m_expected.push_back({ Kind::Message, text, false, {} });
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectYesNo(const QString& text, bool yes)
{
    m_expected.push_back({ Kind::YesNo, text, yes, {} });
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectOkCancel(const QString& text, bool ok)
{
    m_expected.push_back({ Kind::OkCancel, text, ok, {} });
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectFolder(const QString& caption, const QString& answer)
{
    m_expected.push_back({ Kind::Folder, caption, false, answer });
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectSaveFile(const QString& caption, const QString& answer)
{
    m_expected.push_back({ Kind::SaveFile, caption, false, answer });
    return *this;
}

ScriptedPrompts& ScriptedPrompts::answerAlways(Kind kind, const QString& text, bool yes)
{
    m_standing.push_back({ kind, text, yes, {} });
    return *this;
}

QString ScriptedPrompts::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Error:
        return QStringLiteral("erro");
    case Kind::Warning:
        return QStringLiteral("aviso");
    case Kind::Information:
        return QStringLiteral("informação");
    case Kind::Message:
        return QStringLiteral("mensagem");
    case Kind::YesNo:
        return QStringLiteral("confirmação Sim/Não");
    case Kind::OkCancel:
        return QStringLiteral("confirmação OK/Cancelar");
    case Kind::Folder:
        return QStringLiteral("pasta");
    case Kind::SaveFile:
        return QStringLiteral("arquivo");
    }
    return {};
}

const ScriptedPrompts::Prompt* ScriptedPrompts::take(Kind kind, const QString& text)
{
    const bool expectedNext
        = !m_expected.empty() && m_expected.front().kind == kind && m_expected.front().text == text;
    if (!expectedNext) {
        for (const Prompt& standing : m_standing) {
            if (standing.kind == kind && standing.text == text) {
                m_current = standing;
                ++m_standingAnswers;
                return &m_current;
            }
        }
    }
    m_shown << kindName(kind) + QStringLiteral(": ") + text;
    if (m_expected.empty()) {
        m_failures << QStringLiteral("inesperado: ") + m_shown.last();
        return nullptr;
    }
    m_current = m_expected.front();
    m_expected.pop_front();
    if (m_current.kind != kind || m_current.text != text) {
        m_failures << QStringLiteral("esperado %1: %2 — mostrado %3")
                          .arg(kindName(m_current.kind), m_current.text, m_shown.last());
        return nullptr;
    }
    return &m_current;
}

void ScriptedPrompts::error(const QString& text)
{
    take(Kind::Error, text);
}

void ScriptedPrompts::warning(const QString& text)
{
    take(Kind::Warning, text);
}

void ScriptedPrompts::information(const QString& text)
{
    take(Kind::Information, text);
}

void ScriptedPrompts::message(const QString& text)
{
    take(Kind::Message, text);
}

bool ScriptedPrompts::confirmYesNo(const QString& text)
{
    const Prompt* prompt = take(Kind::YesNo, text);
    return prompt && prompt->yes;
}

bool ScriptedPrompts::confirmOkCancel(const QString& text)
{
    const Prompt* prompt = take(Kind::OkCancel, text);
    return prompt && prompt->yes;
}

QString ScriptedPrompts::chooseFolder(const QString& caption, const QString&)
{
    const Prompt* prompt = take(Kind::Folder, caption);
    return prompt ? prompt->folder : QString();
}

QString ScriptedPrompts::chooseSaveFile(const QString& caption, const QString&, const QString&)
{
    const Prompt* prompt = take(Kind::SaveFile, caption);
    return prompt ? prompt->folder : QString();
}

QStringList ScriptedPrompts::leftOver() const
{
    QStringList out;
    for (const Prompt& prompt : m_expected)
        out << kindName(prompt.kind) + QStringLiteral(": ") + prompt.text;
    return out;
}

} // namespace jx
