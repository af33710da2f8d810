// The state-registration check library. Same call form as the authority's library:
// registration and two-letter state code in, 0 for a valid registration. Only the home
// state "QZ" is known; its rule is described in docs/inscricao-estadual-QZ.md.

#include <cstddef>
#include <cstring>

namespace {

enum Result : int {
    Valid = 0,
    WrongCheckDigits = 1,
    WrongForm = 2,
    UnknownState = 3,
    NoInput = 4,
};

constexpr std::size_t kLength = 13;

// 11 - (S mod 11), 0 when that is 10 or 11. Weights run 2..9 from the rightmost digit and
// start again at 2, so every digit counts and neighbouring swaps change the sum.
int checkDigit(const int* digits, std::size_t count)
{
    int sum = 0;
    int weight = 2;
    for (std::size_t i = count; i-- > 0;) {
        sum += digits[i] * weight;
        weight = weight == 9 ? 2 : weight + 1;
    }
    const int dv = 11 - sum % 11;
    return dv >= 10 ? 0 : dv;
}

int checkQz(const char* ie)
{
    if (std::strlen(ie) != kLength)
        return WrongForm;
    int digits[kLength];
    for (std::size_t i = 0; i < kLength; ++i) {
        if (ie[i] < '0' || ie[i] > '9')
            return WrongForm;
        digits[i] = ie[i] - '0';
    }
    const int dv1 = checkDigit(digits, 11);
    if (digits[11] != dv1)
        return WrongCheckDigits;
    const int dv2 = checkDigit(digits, 12);
    return digits[12] == dv2 ? Valid : WrongCheckDigits;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int ConsisteInscricaoEstadual(const char* ie, const char* uf)
{
    if (!ie || !uf)
        return NoInput;
    if (std::strcmp(uf, "QZ") != 0 && std::strcmp(uf, "qz") != 0)
        return UnknownState;
    return checkQz(ie);
}
