#include <gtest/gtest.h>

#include "bridge/SecurityConstants.h"
#include "bridge/SecurityResponse.h"

namespace tessaro::testing {
namespace {

TEST(SecurityResponse, HmacAgreesWithPublishedVectors)
{
    // RFC 4231, test case 2: the one whose key and data are text.
    EXPECT_EQ(hmacSHA256Hex("what do ya want for nothing?", "Jefe"),
              "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
    EXPECT_EQ(hmacSHA256Hex("The quick brown fox jumps over the lazy dog", "key"),
              "f7bc83f430538424b13298e6aa6fb143ef4d59a14946175997479dbc2d1a3cd8");
}

TEST(SecurityResponse, IsSixtyFourLowercaseDigitsOfTheChainedDigest)
{
    const bool developmentConstants
        = securityConstantMessage() == "devMessage00001" && securityConstantKey() == "devKey000000001";
    // Worked out independently of this code, with the development constants.
    const std::pair<std::string, std::string> cases[] = {
        { "", "dbc14995c8b9eecf36fef3f05bcbb7cdaff6003121c4cd4bbe48b2d0d6cd7e36" },
        { "KEY123", "7c64ef4e693be09fbd1324bc122d926f2789b7d4c10797aea50438b12aae633e" },
        { "caf\xc3\xa9 \xe8\xa9\xa6\xe9\xa8\x93 \xf0\x9f\x98\x80",
          "a32f5f783ed3760dba0ccf805d78b4a42c7c6f2405995b6fbc4c7d5f7396ad05" },
    };
    for (const auto& [examKey, answer] : cases) {
        const std::string computed = securityResponse(examKey);
        EXPECT_EQ(computed.size(), 64u);
        EXPECT_EQ(computed.find_first_not_of("0123456789abcdef"), std::string::npos) << computed;
        if (developmentConstants)
            EXPECT_EQ(computed, answer);
    }
}

}
}
