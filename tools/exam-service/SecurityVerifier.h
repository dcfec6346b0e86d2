#pragma once

#include <string>
#include <string_view>

namespace tessaro {

// Checks the program's "security" answers the way a real exam service does: the answer for an
// exam key is HMAC-SHA-256 of the key under a derived key, which is itself HMAC-SHA-256 of the
// first constant under the second, used as its 64 hexadecimal characters.
class SecurityVerifier {
public:
    SecurityVerifier(std::string_view constantMessage, std::string_view constantKey);

    // The verifier for the constants this build was configured with.
    static SecurityVerifier configured();

    // HMAC-SHA-256 of the message's bytes under the key's bytes, as 64 lowercase hex digits.
    static std::string hmacSha256Hex(std::string_view message, std::string_view key);

    std::string expectedAnswer(std::string_view examKey) const;
    bool verify(std::string_view examKey, std::string_view answer) const;

private:
    std::string m_derivedKeyHex;
};

}
