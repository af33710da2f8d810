#pragma once

#include "ConsolePrompts.h"

#include "data/TdtmJX.h"
#include "db/TdtmDB.h"

#include <QString>

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

} // namespace jxctl
