// jx-keygen PASTA: writes a fresh 128-bit key pair (PublicKey.dat, PrivateKey.dat) in the
// format the program reads.

#include "Error.h"
#include "delivery/RsaKey.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 1 || args[0].startsWith(QLatin1String("-"))) {
        std::fputs("Uso: jx-keygen PASTA\n", args.contains(QLatin1String("--help")) ? stdout : stderr);
        return args.contains(QLatin1String("--help")) ? 0 : 2;
    }
    try {
        jx::RsaKeyPair::generate().save(args[0]);
    } catch (const jx::Error& e) {
        std::fprintf(stderr, "jx-keygen: %s\n", e.userText().toUtf8().constData());
        return 2;
    }
    std::printf("Chaves gravadas em %s\n", args[0].toUtf8().constData());
    return 0;
}
