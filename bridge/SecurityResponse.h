#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/PageText.h"

namespace tessaro {

// HMAC-SHA-256 of the message's UTF-8 bytes under the key's UTF-8 bytes, as 64
// lowercase hexadecimal digits. The message comes first, the key second. Empty when
// OpenSSL cannot compute it.
std::string hmacSHA256Hex(std::string_view message, std::string_view key);

// The answer for one exam key: the key digested under the hexadecimal text (its 64
// characters, not the bytes they stand for) of the two built-in constants' digest.
// Empty when OpenSSL cannot compute it.
std::string securityResponse(std::string_view examKey);

// The same for an exam key read in pieces as it is digested, never held whole; nothing
// when the key cannot be read whole.
std::optional<std::string> securityResponse(const PageText& examKey);

}
