#pragma once

#include "ConsolePrompts.h"

#include "data/TdtmJX.h"
#include "db/TdtmDB.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <memory>

namespace jxctl {

// The data module over a database file, headless: no dialog, no index creation.
struct DataModule {
    std::unique_ptr<jx::TdtmDB> database;
    ConsolePrompts prompts;
    std::unique_ptr<jx::TdtmJX> jx;
    QString programFolder;
};

std::unique_ptr<DataModule> openDataModule(const QString& path);

// "solicitacao" (true) or "habilitacao" (false); anything else is a usage error.
bool requestKind(const QString& word, const QString& usage);
qint64 idOf(const QString& text);
// The identifiers named by words ("7", or a range "1-1000" with both ends) and, when idsFile is
// not empty, by that file (the same forms, separated by blanks or line ends), in the order
// given; at least one, each once, at most kMaxIds. Anything else is a usage error.
QList<qint64> idList(const QStringList& words, const QString& idsFile);
inline constexpr qint64 kMaxIds = 100000;
// Puts the filing current (its details follow) and sets the current kind.
void locateFiling(jx::TdtmJX& jx, bool request, qint64 id);
// "--hoje DD/MM/AAAA" (removed from args): the day the date rules take for today; invalid when absent.
QDate todayOption(QStringList& args);
// Puts the filing current and verifies it into cdsPendecias; true when it has no error.
bool verifyFiling(jx::TdtmJX& jx, bool request, qint64 id, const QDate& today);

} // namespace jxctl
