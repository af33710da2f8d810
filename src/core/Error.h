#pragma once

#include <QString>

#include <stdexcept>

namespace jx {

// The error every core operation throws when it must stop: a Portuguese text meant for
// the user, plus an optional technical detail for the log.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& userText, const QString& detail = {})
        : std::runtime_error(userText.toStdString())
        , m_userText(userText)
        , m_detail(detail)
    {
    }

    const QString& userText() const { return m_userText; }
    const QString& detail() const { return m_detail; }

private:
    QString m_userText;
    QString m_detail;
};

} // namespace jx
