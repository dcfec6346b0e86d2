#include "SecurityVerifier.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaro {
namespace {

// Computed once with `openssl dgst -sha256 -hmac` and Python's hmac module, which agreed.
struct KnownAnswer {
    const char* examKey;
    const char* answer;
};

const KnownAnswer developmentAnswers[] = {
    { "demo", "e9e4b16c751ae6a3feee4f71f8e9b8fd1081576657158d24969fee4074777c64" },
    { "", "dbc14995c8b9eecf36fef3f05bcbb7cdaff6003121c4cd4bbe48b2d0d6cd7e36" },
    { "pr\xc3\xbc"
      "fung",
      "e5529eaf26b2380eebf20b5ec9b282422fb5c4ddeab66d290d367f18067f3102" },
};

SecurityVerifier developmentVerifier()
{
    return SecurityVerifier("devMessage00001", "devKey000000001");
}

TEST(SecurityVerifier, ExpectsTheChainedAnswerForEachExamKey)
{
    SecurityVerifier verifier = developmentVerifier();
    for (const KnownAnswer& known : developmentAnswers) {
        SCOPED_TRACE(known.examKey);
        EXPECT_EQ(verifier.expectedAnswer(known.examKey), known.answer);
        EXPECT_TRUE(verifier.verify(known.examKey, known.answer));
    }
}

TEST(SecurityVerifier, RefusesEveryNearMiss)
{
    SecurityVerifier verifier = developmentVerifier();
    const std::string right = developmentAnswers[0].answer;
    const std::string nearMisses[] = {
        "",
        right.substr(0, 63),
        right + "0",
        "E9E4B16C751AE6A3FEEE4F71F8E9B8FD1081576657158D24969FEE4074777C64",
        "f9e4b16c751ae6a3feee4f71f8e9b8fd1081576657158d24969fee4074777c64",
        developmentAnswers[1].answer,
    };
    for (const std::string& answer : nearMisses) {
        SCOPED_TRACE(answer);
        EXPECT_FALSE(verifier.verify("demo", answer));
    }
}

}
}
