// jx_hold_database PATH: another instance of the program with the database open, for tests.
// Opens the file as the program does, says "aberto" and keeps it open until its standard input
// closes.

#include "db/TdtmDB.h"

#include <cstdio>
#include <exception>

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    try {
        jx::TdtmDB database(jx::TdtmDB::AtPath { QString::fromLocal8Bit(argv[1]) });
        std::puts("aberto");
        std::fflush(stdout);
        while (std::getchar() != EOF) { }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
