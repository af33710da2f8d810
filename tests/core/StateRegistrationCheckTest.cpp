#include "platform/StateRegistrationCheck.h"
#include "Error.h"

#include <gtest/gtest.h>

using jx::StateRegistrationCheck;

namespace {

QString errorOf(const StateRegistrationCheck& check)
{
    try {
        check.isValid("1234567890107");
    } catch (const jx::Error& e) {
        return e.userText();
    }
    return {};
}

} // namespace

TEST(StateRegistration, HomeStateRule)
{
    const StateRegistrationCheck check(JX_INSCE_LIBRARY);
    EXPECT_TRUE(check.isValid("1234567890107"));
    EXPECT_TRUE(check.isValid("9876543210979"));
    EXPECT_TRUE(check.isValid("0000000000000"));
    EXPECT_FALSE(check.isValid("1234567890108")); // second check digit
    EXPECT_FALSE(check.isValid("1234567890117")); // first check digit
    EXPECT_FALSE(check.isValid("2134567890107")); // swapped digits
    EXPECT_FALSE(check.isValid("123456789010")); // 12 digits
    EXPECT_FALSE(check.isValid("12345678901070"));
    EXPECT_FALSE(check.isValid("123456789.01-07"));
    EXPECT_FALSE(check.isValid(""));
}

TEST(StateRegistration, OtherStatesAreInvalid)
{
    const StateRegistrationCheck check(JX_INSCE_LIBRARY);
    EXPECT_FALSE(check.isValid("1234567890107", "SP"));
    EXPECT_FALSE(check.isValid("1234567890107", ""));
}

TEST(StateRegistration, LibraryFailuresAreErrorsNotVerdicts)
{
    EXPECT_EQ(errorOf(StateRegistrationCheck("/nao/existe/libDllInscE32.so")), QStringLiteral("Dll não carregada"));
    EXPECT_EQ(
        errorOf(StateRegistrationCheck(JX_NOENTRY_LIBRARY)), QStringLiteral("Ponto de entrada não encontrado na Dll"));
    // A failure leaves nothing loaded behind: the next call works as before.
    EXPECT_TRUE(StateRegistrationCheck(JX_INSCE_LIBRARY).isValid("1234567890107"));
}
