#include "bridge/SecurityResponse.h"

#include <array>

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include "bridge/SecurityConstants.h"

namespace tessaro {

std::string hmacSHA256Hex(std::string_view message, std::string_view key)
{
    std::array<unsigned char, 32> digest {};
    unsigned int length = digest.size();
    HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(message.data()),
         message.size(), digest.data(), &length);

    static constexpr char hexDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * digest.size());
    for (const unsigned char byte : digest) {
        hex += hexDigits[byte >> 4];
        hex += hexDigits[byte & 0x0f];
    }
    return hex;
}

std::string securityResponse(std::string_view examKey)
{
    // The first stage depends on the built-in constants only: the same for every key.
    static const std::string derivedKeyHex = hmacSHA256Hex(securityConstantMessage(), securityConstantKey());
    return hmacSHA256Hex(examKey, derivedKeyHex);
}

}
