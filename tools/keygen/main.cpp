// jx-keygen PASTA [--substituir]: writes a fresh 128-bit key pair (PublicKey.dat,
// PrivateKey.dat) in the format the program reads. A folder that already holds a key is
// refused unless --substituir: files encrypted with the old pair open with it only.

#include "Error.h"
#include "delivery/RsaKey.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool help = args.contains(QLatin1String("--help"));
    const bool replace = args.removeAll(QLatin1String("--substituir")) > 0;
    if (help || args.size() != 1 || args[0].startsWith(QLatin1String("-"))) {
        std::fputs("Uso: jx-keygen PASTA [--substituir]\n", help ? stdout : stderr);
        return help ? 0 : 2;
    }
    const QString& folder = args[0];
    try {
        if (!replace && jx::RsaKeyPair::folderHoldsKeys(folder))
            throw jx::Error(
                jx::RsaKeyPair::keysExistText(folder) + QStringLiteral(" Para substituí-la, use --substituir."));
        jx::RsaKeyPair::generate().save(folder, replace);
    } catch (const jx::Error& e) {
        std::fprintf(stderr, "jx-keygen: %s\n", e.userText().toUtf8().constData());
        return 2;
    }
    std::printf("Chaves gravadas em %s\n", folder.toUtf8().constData());
    return 0;
}
