// jx-mkdb CAMINHO: builds the database file the program ships with — filing tables empty,
// reference tables filled.

#include "Error.h"
#include "db/ReferenceData.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 1 || args[0].startsWith(QLatin1String("-"))) {
        const bool help = args.contains(QLatin1String("--help"));
        std::fputs("Uso: jx-mkdb CAMINHO\n", help ? stdout : stderr);
        return help ? 0 : 2;
    }
    try {
        jx::db::createDatabase(args[0]);
    } catch (const jx::Error& e) {
        std::fprintf(stderr, "jx-mkdb: %s\n", e.userText().toUtf8().constData());
        return 2;
    }
    std::printf("Banco de dados criado em %s\n", args[0].toUtf8().constData());
    return 0;
}
