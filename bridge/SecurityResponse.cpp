#include "bridge/SecurityResponse.h"

#include <array>
#include <memory>
#include <optional>

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include "bridge/SecurityConstants.h"

namespace tessaro {

namespace {

using Digest = std::array<unsigned char, 32>;

std::string hexText(const Digest& digest)
{
    static constexpr char hexDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * digest.size());
    for (const unsigned char byte : digest) {
        hex += hexDigits[byte >> 4];
        hex += hexDigits[byte & 0x0f];
    }
    return hex;
}

struct MacContextFree {
    void operator()(EVP_MAC_CTX* context) const { EVP_MAC_CTX_free(context); }
};
using MacContext = std::unique_ptr<EVP_MAC_CTX, MacContextFree>;

// HMAC-SHA-256 keyed once: each answer starts the same context again with the key it
// holds, so neither the algorithm lookup, the key's padding nor an allocation is
// repeated per message. One per thread, as the context is changed by every answer.
class KeyedHmac {
public:
    // An empty key is a digest that could not be computed: then no answer can be.
    explicit KeyedHmac(std::string_view key)
    {
        if (key.empty())
            return;
        EVP_MAC* mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
        m_context.reset(mac ? EVP_MAC_CTX_new(mac) : nullptr);
        EVP_MAC_free(mac);
        char digestName[] = "SHA256";
        const OSSL_PARAM parameters[] = {
            OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digestName, 0),
            OSSL_PARAM_construct_end(),
        };
        if (m_context
            && !EVP_MAC_init(m_context.get(), reinterpret_cast<const unsigned char*>(key.data()), key.size(),
                             parameters))
            m_context.reset();
    }

    // Empty when OpenSSL cannot compute it; nothing when the message cannot be read whole.
    std::optional<std::string> hexDigest(const PageText& message)
    {
        bool computed = m_context && EVP_MAC_init(m_context.get(), nullptr, 0, nullptr);
        if (!message([this, &computed](std::string_view piece) {
                computed = computed
                    && EVP_MAC_update(m_context.get(), reinterpret_cast<const unsigned char*>(piece.data()),
                                      piece.size());
                return true;
            }))
            return std::nullopt;
        Digest digest {};
        std::size_t length = 0;
        if (!computed || !EVP_MAC_final(m_context.get(), digest.data(), &length, digest.size()))
            return std::string();
        return hexText(digest);
    }

private:
    MacContext m_context;
};

}

std::string hmacSHA256Hex(std::string_view message, std::string_view key)
{
    Digest digest {};
    unsigned int length = digest.size();
    if (!HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
              reinterpret_cast<const unsigned char*>(message.data()), message.size(), digest.data(), &length))
        return {};
    return hexText(digest);
}

std::optional<std::string> securityResponse(const PageText& examKey)
{
    // The key depends on the built-in constants only: the same for every exam key.
    thread_local KeyedHmac keyed(hmacSHA256Hex(securityConstantMessage(), securityConstantKey()));
    return keyed.hexDigest(examKey);
}

std::string securityResponse(std::string_view examKey)
{
    return *securityResponse(PageText([examKey](const TextPiece& piece) { return piece(examKey); }));
}

}
