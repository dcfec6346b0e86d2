#include "SecurityVerifier.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <array>
#include <climits>

namespace tessaro {

SecurityVerifier::SecurityVerifier(std::string_view constantMessage, std::string_view constantKey)
    : m_derivedKeyHex(hmacSha256Hex(constantMessage, constantKey))
{
}

SecurityVerifier SecurityVerifier::configured()
{
    return SecurityVerifier(EXAM_SERVICE_SECURITY_MESSAGE, EXAM_SERVICE_SECURITY_KEY);
}

// An empty result can never equal a 64-digit answer, so a key OpenSSL cannot take (longer than
// an int can count) simply fails verification.
std::string SecurityVerifier::hmacSha256Hex(std::string_view message, std::string_view key)
{
    if (key.size() > static_cast<size_t>(INT_MAX))
        return {};
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest {};
    unsigned int digestLength = 0;
    if (HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
             reinterpret_cast<const unsigned char*>(message.data()), message.size(), digest.data(), &digestLength)
        == nullptr) {
        return {};
    }
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * digestLength);
    for (unsigned int index = 0; index < digestLength; ++index) {
        hex.push_back(digits[digest[index] >> 4]);
        hex.push_back(digits[digest[index] & 0x0f]);
    }
    return hex;
}

std::string SecurityVerifier::expectedAnswer(std::string_view examKey) const
{
    return hmacSha256Hex(examKey, m_derivedKeyHex);
}

// Compared in constant time: the service never helps a guesser along, not even by timing.
bool SecurityVerifier::verify(std::string_view examKey, std::string_view answer) const
{
    std::string expected = expectedAnswer(examKey);
    return !expected.empty() && answer.size() == expected.size()
        && CRYPTO_memcmp(answer.data(), expected.data(), expected.size()) == 0;
}

}
